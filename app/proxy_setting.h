#pragma once
// The proxy the user set: the three proxy keys of the settings file, read in one place for the
// proxy dialog, the SETTING.TXT request and the web view alike.
#include <cstdint>
#include <string>

namespace bolta {

class SettingsStore;

struct ProxySetting {
  int32_t useProxy = 0;  // USE_PROXY: any value but 0 means the named proxy
  std::string address;   // PROXY_ADDRESS, as stored
  std::string port;      // PROXY_PORT, as stored: text, never checked

  bool UsesNamedProxy() const { return useProxy != 0; }
  // The proxy's name as the request is given it: address, ":", port, nothing trimmed or tested.
  std::string Name() const { return address + ":" + port; }
};

// Missing keys read as their defaults: 0, empty, empty.
ProxySetting ReadProxySetting(const SettingsStore& settings);

}  // namespace bolta

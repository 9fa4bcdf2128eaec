#pragma once
// The proxy settings command: the three proxy keys go through a modal dialog and back.
#include <cstdint>
#include <string>

namespace bolta {

class SettingsStore;

// The dialog's data: exchanged into the dialog when it opens, out of it only on OK.
struct ProxySettingsData {
  std::string m_strProxyAddress;
  std::string m_strProxyPort;
  int32_t m_bUseProxy = 0;
};

// Runs the dialog modally over `data`; returns IDOK or IDCANCEL (or -1 when it could not be shown).
class ProxySettingsDialogRunner {
 public:
  virtual int DoModal(ProxySettingsData& data) = 0;

 protected:
  ~ProxySettingsDialogRunner() = default;
};

// Reads the keys, runs the dialog, writes PROXY_ADDRESS, PROXY_PORT, USE_PROXY however it closed.
void RunProxySettingsCommand(SettingsStore& settings, ProxySettingsDialogRunner& dialog);

}  // namespace bolta

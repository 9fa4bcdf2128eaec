#pragma once
// A real settings store on a file in a directory of its own, removed with it.
#include <stdlib.h>

#include <stdexcept>

#include "app/settings_keys.h"
#include "app/settings_store.h"

namespace bolta {

class TempSettings {
 public:
  TempSettings() : directory_(NewDirectory()), store_(directory_ / "Bolta.ini") {}
  ~TempSettings() {
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }
  TempSettings(const TempSettings&) = delete;
  TempSettings& operator=(const TempSettings&) = delete;

  SettingsStore& store() { return store_; }
  const std::filesystem::path& path() const { return store_.path(); }

  // USE_PROXY, PROXY_ADDRESS and PROXY_PORT as the proxy dialog writes them.
  void SetProxy(int32_t useProxy, const std::string& address, const std::string& port) {
    store_.WriteProfileString(key::kSection, key::kProxyAddress, address);
    store_.WriteProfileString(key::kSection, key::kProxyPort, port);
    store_.WriteProfileInt(key::kSection, key::kUseProxy, useProxy);
  }

 private:
  static std::filesystem::path NewDirectory() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "bolta-settings-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary directory");
    return pattern;
  }

  std::filesystem::path directory_;
  SettingsStore store_;
};

}  // namespace bolta

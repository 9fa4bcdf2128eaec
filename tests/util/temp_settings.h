#pragma once
// A real settings store on a file in a directory of its own, removed with it.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

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

  // The keys of the file's "KEY=value" lines, in the file's order.
  std::vector<std::string> Keys() const {
    std::ifstream in(path(), std::ios::binary);
    std::vector<std::string> keys;
    for (std::string line; std::getline(in, line);) {
      const auto equals = line.find('=');
      if (equals != std::string::npos) keys.push_back(line.substr(0, equals));
    }
    return keys;
  }

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

#pragma once
// A settings file in a fresh temporary folder, removed with the folder at the end of the test.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace bolta {

class TempSettingsFile {
 public:
  TempSettingsFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bolta-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
  }
  ~TempSettingsFile() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  TempSettingsFile(const TempSettingsFile&) = delete;
  TempSettingsFile& operator=(const TempSettingsFile&) = delete;

  std::filesystem::path path() const { return folder_ / "Bolta.ini"; }

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

 private:
  std::filesystem::path folder_;
};

}  // namespace bolta

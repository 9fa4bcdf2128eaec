#pragma once
// The INI settings file: read and written one key at a time, nothing kept in memory.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace bolta {

// The longest string a read gives back whole (a 4096-byte buffer with its terminator); a longer
// stored value reads back cut.
inline constexpr size_t kMaxProfileStringBytes = 4095;

class SettingsStore {
 public:
  explicit SettingsStore(std::filesystem::path file);

  const std::filesystem::path& path() const { return file_; }

  int32_t GetProfileInt(std::string_view section, std::string_view key, int32_t defaultValue) const;
  std::string GetProfileString(std::string_view section, std::string_view key,
                               std::string_view defaultValue = {}) const;
  bool WriteProfileInt(std::string_view section, std::string_view key, int32_t value);
  bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value);

 private:
  std::filesystem::path file_;
};

}  // namespace bolta

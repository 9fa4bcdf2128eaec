#pragma once
// The INI settings file: read and written one key at a time, nothing kept in memory.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace bolta {

// The longest string a read gives back whole (a 4096-byte buffer with its terminator); a longer
// stored value reads back cut.
inline constexpr size_t kMaxProfileStringBytes = 4095;

// The file read and written, and the file whose settings hold while that one does not exist yet
// (the first write starts from a copy of it).
struct SettingsLocation {
  std::filesystem::path file;
  std::optional<std::filesystem::path> defaults;
};

// Told of a write that failed: the file and the reason.
using SettingsWriteFailure =
    std::function<void(const std::filesystem::path& file, const std::string& reason)>;

class SettingsStore {
 public:
  // Writes fail silently for their callers; `reportFailure` hears of the first failure only.
  explicit SettingsStore(SettingsLocation location, SettingsWriteFailure reportFailure = {});
  // One file, no defaults, no report.
  explicit SettingsStore(std::filesystem::path file)
      : SettingsStore(SettingsLocation{std::move(file), std::nullopt}) {}

  const std::filesystem::path& path() const { return location_.file; }

  int32_t GetProfileInt(std::string_view section, std::string_view key, int32_t defaultValue) const;
  std::string GetProfileString(std::string_view section, std::string_view key,
                               std::string_view defaultValue = {}) const;
  bool WriteProfileInt(std::string_view section, std::string_view key, int32_t value);
  bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value);

 private:
  SettingsLocation location_;
  SettingsWriteFailure reportFailure_;
  bool failureReported_ = false;
};

}  // namespace bolta

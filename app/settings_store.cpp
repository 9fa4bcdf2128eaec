#include "app/settings_store.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>
#include <vector>

#include "app/shared_file.h"
#include "res/ascii.h"

namespace bolta {
namespace {

constexpr std::string_view kNewline = "\r\n";

struct Line {
  std::string_view body;    // without its line ending
  std::string_view ending;  // "\r\n", "\n", or empty on a last line without one
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  while (!text.empty()) {
    const size_t lf = text.find('\n');
    size_t end = lf == std::string_view::npos ? text.size() : lf;
    const size_t next = lf == std::string_view::npos ? text.size() : lf + 1;
    if (lf != std::string_view::npos && end > 0 && text[end - 1] == '\r') --end;
    lines.push_back({text.substr(0, end), text.substr(end, next - end)});
    text.remove_prefix(next);
  }
  return lines;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsComment(std::string_view body) {
  const std::string_view text = Trim(body);
  return !text.empty() && (text.front() == ';' || text.front() == '#');
}

std::optional<std::string_view> SectionName(std::string_view body) {
  const std::string_view text = Trim(body);
  const size_t close = text.find(']');
  if (text.empty() || text.front() != '[' || close == std::string_view::npos) return std::nullopt;
  return Trim(text.substr(1, close - 1));
}

struct Entry {
  std::string_view key;
  size_t valueStart;  // after the '=' and the blanks that follow it
};

std::optional<Entry> EntryOf(std::string_view body) {
  const size_t equals = body.find('=');
  if (equals == std::string_view::npos || IsComment(body) || SectionName(body)) return std::nullopt;
  const size_t valueStart = body.find_first_not_of(" \t", equals + 1);
  return Entry{Trim(body.substr(0, equals)), std::min(valueStart, body.size())};
}

// Where a key stands in the file, or where it would go.
struct Place {
  std::optional<size_t> header;  // line of the first section of that name
  std::optional<size_t> entry;   // line of the key's first entry in it
  std::string_view entryKey;     // that entry's key, spelled as in the file
  size_t valueStart = 0;         // of that entry
  size_t lastContent = 0;        // last line of the section that is neither blank nor comment
};

Place Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Place place;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view body = lines[i].body;
    if (const auto name = SectionName(body)) {
      if (place.header) break;
      if (EqualsIgnoringAsciiCase(*name, section)) place.header = place.lastContent = i;
      continue;
    }
    if (!place.header) continue;
    if (!Trim(body).empty() && !IsComment(body)) place.lastContent = i;
    const auto entry = EntryOf(body);
    if (entry && !place.entry && EqualsIgnoringAsciiCase(entry->key, key)) {
      place.entry = i;
      place.entryKey = entry->key;
      place.valueStart = entry->valueStart;
    }
  }
  return place;
}

// The file's bytes; while it does not exist, those of the defaults file.
std::optional<std::string> ReadSettings(const SettingsLocation& location) {
  std::optional<std::string> text = ReadSharedFile(location.file);
  std::error_code ignored;
  if (!text && location.defaults && !std::filesystem::exists(location.file, ignored)) {
    text = ReadSharedFile(*location.defaults);
  }
  return text;
}

// The value's text without the blanks around it, or nothing when file, section or key is missing.
std::optional<std::string> ReadValue(const SettingsLocation& location, std::string_view section,
                                     std::string_view key) {
  const std::optional<std::string> text = ReadSettings(location);
  if (!text) return std::nullopt;
  const std::vector<Line> lines = SplitLines(*text);
  const Place place = Locate(lines, section, key);
  if (!place.entry) return std::nullopt;
  return std::string(Trim(lines[*place.entry].body.substr(place.valueStart)));
}

// An optional sign and decimal digits at the start; beyond 32 bits the nearest limit.
int32_t LeadingInteger(std::string_view text) {
  constexpr int64_t kBeyond = int64_t{1} << 31;
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  int64_t magnitude = 0;
  for (size_t i = 0; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = std::min(magnitude * 10 + (text[i] - '0'), kBeyond);
  }
  return static_cast<int32_t>(
      std::clamp(negative ? -magnitude : magnitude, int64_t{INT32_MIN}, int64_t{INT32_MAX}));
}

// Names and values that would break the file's lines or read back as something else.
bool IsStorable(std::string_view section, std::string_view key, std::string_view value) {
  const auto isName = [](std::string_view name, std::string_view forbidden) {
    return !name.empty() && Trim(name) == name && name.find_first_of(forbidden) == name.npos;
  };
  return isName(section, "]\r\n") && isName(key, "=\r\n") && !IsComment(key) &&
         key.front() != '[' && value.find_first_of("\r\n") == value.npos;
}

std::string WithValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value) {
  const std::vector<Line> lines = SplitLines(text);
  const Place place = Locate(lines, section, key);
  std::string result;
  result.reserve(text.size() + section.size() + key.size() + value.size() + 8);
  const auto addEntry = [&] { (((result += key) += '=') += value) += kNewline; };
  for (size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    if (place.entry == i) {
      // The key keeps its spelling and the line its ending; blanks kept from the old line would
      // pile up before a value that begins with one, a little more at every write.
      (((result += place.entryKey) += '=') += value) += line.ending;
      continue;
    }
    (result += line.body) += line.ending;
    if (!place.entry && place.header && place.lastContent == i) {
      if (line.ending.empty()) result += kNewline;
      addEntry();
    }
  }
  if (!place.header) {
    if (!result.empty() && result.back() != '\n') result += kNewline;
    (((result += '[') += section) += ']') += kNewline;
    addEntry();
  }
  return result;
}

// The folder and its missing parents, private to the user as the XDG rules ask.
std::error_code MakeFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (folder.empty() || std::filesystem::is_directory(folder, error)) return {};
  if (const std::error_code parent = MakeFolder(folder.parent_path())) return parent;
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    return {errno, std::generic_category()};
  return {};
}

}  // namespace

SettingsStore::SettingsStore(SettingsLocation location, SettingsWriteFailure reportFailure)
    : location_(std::move(location)), reportFailure_(std::move(reportFailure)) {}

int32_t SettingsStore::GetProfileInt(std::string_view section, std::string_view key,
                                     int32_t defaultValue) const {
  const std::optional<std::string> value = ReadValue(location_, section, key);
  // An entry with nothing after the '=' counts as no entry, not as a 0.
  return value && !value->empty() ? LeadingInteger(*value) : defaultValue;
}

std::string SettingsStore::GetProfileString(std::string_view section, std::string_view key,
                                            std::string_view defaultValue) const {
  std::optional<std::string> value = ReadValue(location_, section, key);
  if (!value) return std::string(defaultValue);
  value->resize(std::min(value->size(), kMaxProfileStringBytes));
  return std::move(*value);
}

bool SettingsStore::WriteProfileInt(std::string_view section, std::string_view key, int32_t value) {
  return WriteProfileString(section, key, std::to_string(value));
}

bool SettingsStore::WriteProfileString(std::string_view section, std::string_view key,
                                       std::string_view value) {
  std::error_code error = IsStorable(section, key, value)
                              ? MakeFolder(location_.file.parent_path())
                              : std::make_error_code(std::errc::invalid_argument);
  if (!error) {
    error = RewriteSharedFile(
        location_.file, [&](std::string_view text) { return WithValue(text, section, key, value); },
        location_.defaults);
  }
  if (error && reportFailure_ && !std::exchange(failureReported_, true)) {
    reportFailure_(location_.file, error.message());
  }
  return !error;
}

}  // namespace bolta

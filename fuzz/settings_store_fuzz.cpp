// The settings store on an arbitrary file, with a short sequence of writes: a write that succeeds
// reads back its value, trimmed, and made again changes nothing; a refused or failed write leaves
// the file as it was; a write touches one line or adds lines, and every other line stays byte for
// byte.
//
// Input: the file's bytes, then 0x1D and the writes, separated by 0x1E, each with fields
// separated by 0x1F: "W" key value, "I" key number (both in section BOLTA), "S" section key value.
#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <vector>

#include "fuzz/check.h"
#include "tests/util/temp_settings.h"

namespace bolta::fuzz {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Lines with their endings.
std::vector<std::string> Lines(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line + (in.eof() ? "" : "\n"));
  return lines;
}

// CR LF, LF, or none; a CR elsewhere is part of the line.
std::string_view Ending(std::string_view line) {
  return line.substr(line.size() - (line.ends_with("\r\n") ? 2 : line.ends_with('\n') ? 1 : 0));
}

std::string_view Trim(std::string_view text) {
  const size_t start = std::min(text.find_first_not_of(" \t"), text.size());
  text.remove_prefix(start);
  return text.substr(0, text.find_last_not_of(" \t") + 1);
}

// `after` is `before` with one line's body replaced (its ending kept), or with lines added in one
// place (a last line without an ending may have got one); nothing else differs.
void CheckOneChange(const std::string& before, const std::string& after) {
  const auto old = Lines(before), now = Lines(after);
  const auto head =
      std::mismatch(old.begin(), old.end(), now.begin(), now.end()).first - old.begin();
  const auto tail =
      std::mismatch(old.rbegin(), old.rend() - head, now.rbegin(), now.rend() - head).first -
      old.rbegin();
  const size_t removed = old.size() - head - tail, added = now.size() - head - tail;
  Check(removed == 0 || (removed == 1 && added > 0), "at most one old line changes, none goes");
  if (removed == 1)
    Check(added == 1 ? Ending(old[head]) == Ending(now[head]) : now[head] == old[head] + "\r\n",
          "a line keeps its ending; only one without gets one, before added lines");
}

}  // namespace

void Properties(std::string_view input) {
  static const TempSettings directory;
  const fs::path file = directory.path();
  fs::remove(file);
  const size_t cut = std::min(input.find('\x1d'), input.size());
  if (cut > 0) std::ofstream(file, std::ios::binary) << input.substr(0, cut);
  SettingsStore store(file);

  std::istringstream writes(std::string(input.substr(std::min(cut + 1, input.size()))));
  for (std::string write; std::getline(writes, write, '\x1e');) {
    std::istringstream parts(write + '\x1f');  // so that an empty last field counts
    std::vector<std::string> fields;
    for (std::string field; std::getline(parts, field, '\x1f');) fields.push_back(field);
    if (fields.size() < 3 || fields[0].size() != 1) continue;
    const bool inSection = fields[0] == "S" && fields.size() > 3;
    const std::string section(inSection ? fields[1] : key::kSection);
    const std::string name(fields[inSection ? 2 : 1]);
    const std::string value(fields[inSection ? 3 : 2]);

    const std::optional<std::string> before = Contents(file);
    int32_t number = 0;
    std::from_chars(value.data(), value.data() + value.size(), number);
    const bool asNumber = fields[0] == "I";
    const auto make = [&] {
      return asNumber ? store.WriteProfileInt(section, name, number)
                      : store.WriteProfileString(section, name, value);
    };
    const bool written = make();
    const std::optional<std::string> after = Contents(file);
    if (!written) {
      Check(after == before, "a refused write leaves the file as it was");
      continue;
    }
    Check(after.has_value(), "a successful write leaves a file");
    CheckOneChange(before.value_or(""), *after);
    Check(make() && Contents(file) == after, "the same write again changes nothing");
    const std::string_view trimmed = Trim(value).substr(0, kMaxProfileStringBytes);
    Check(asNumber ? store.GetProfileInt(section, name, number == 0 ? 1 : 0) == number
                   : store.GetProfileString(section, name, "\x1f") == trimmed,
          "a write reads back, a string trimmed");
  }
  Check(!fs::exists(fs::path(file) += ".tmp"), "no temporary file is left");
}

}  // namespace bolta::fuzz

#include "retrieval/signboard_info.h"

#include <string_view>

namespace bolta {
namespace {

constexpr std::string_view kTitleKey = "BBS_TITLE=";
constexpr std::string_view kTitlePictureKey = "BBS_TITLE_PICTURE=";
constexpr std::string_view kBackgroundPictureKey = "BBS_BG_PICTURE=";

// Everything after the line's first "=", untrimmed; for the three keys that is what follows the
// key itself.
std::string ValueOf(const std::string& line) { return line.substr(line.find('=') + 1); }

}  // namespace

void ApplySettingLine(const std::string& line, const BoardAddress& address, SignboardInfo& info) {
  // Byte-exact and case-sensitive at the first byte: a space before the key or before its "="
  // means the line is not meant for us.
  if (line.starts_with(kTitleKey)) info.title = ValueOf(line);
  if (line.starts_with(kTitlePictureKey))
    info.titlePictureUrl = ResolvePicturePath(ValueOf(line), address);
  if (line.starts_with(kBackgroundPictureKey))
    info.backgroundPictureUrl = ResolvePicturePath(ValueOf(line), address);
}

std::string ResolvePicturePath(const std::string& value, const BoardAddress& address) {
  // "./" is the board's directory and "../" the host's root: the base the file itself came from.
  // Only the one leading prefix is replaced; the rest of the path is the server's business.
  if (value.starts_with("./"))
    return "http://" + address.host + "/" + address.board + value.substr(1);
  if (value.starts_with("../")) return "http://" + address.host + value.substr(2);
  return value;
}

bool IsComplete(const SignboardInfo& info) {
  return !info.title.empty() && !info.titlePictureUrl.empty() && !info.backgroundPictureUrl.empty();
}

}  // namespace bolta

// A SETTING.TXT body arriving in random chunks: the same lines as the body read at once, and
// each key's field is the value of its last line, a picture path resolved (the unit rows say how).
#include <random>
#include <sstream>
#include <vector>

#include "fuzz/check.h"
#include "retrieval/line_reader.h"
#include "retrieval/signboard_info.h"

namespace bolta::fuzz {
namespace {

// The lines by the rule itself: every CR dropped, cut at LF, no empty last line.
std::vector<std::string> LinesOf(std::string body) {
  std::erase(body, '\r');
  std::istringstream in(body);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The lines as the reader gives them, the body handed over in chunks of 1 to 64 bytes.
std::vector<std::string> ReadInChunks(std::string_view body) {
  std::minstd_rand random(static_cast<uint32_t>(std::hash<std::string_view>()(body)));
  LineReader reader;
  std::vector<std::string> lines;
  std::string line;
  while (!body.empty()) {
    const size_t length = std::min<size_t>(body.size(), 1 + random() % 64);
    reader.Append(body.substr(0, length));
    body.remove_prefix(length);
    while (reader.NextLine(line)) lines.push_back(line);
  }
  if (reader.LastLine(line)) lines.push_back(line);
  Check(!reader.LastLine(line) && !reader.NextLine(line), "the last line comes once");
  return lines;
}

}  // namespace

void Properties(std::string_view body) {
  const std::vector<std::string> lines = LinesOf(std::string(body));
  Check(ReadInChunks(body) == lines, "chunks do not change the lines");

  const BoardAddress address{"news", "host1:8080"};
  SignboardInfo info;
  std::string title, titlePicture, background;
  for (const std::string& line : lines) {
    ApplySettingLine(line, address, info);
    if (line.starts_with("BBS_TITLE=")) title = line.substr(10);
    if (line.starts_with("BBS_TITLE_PICTURE=")) titlePicture = line.substr(18);
    if (line.starts_with("BBS_BG_PICTURE=")) background = line.substr(15);
  }
  Check(info.title == title, "the title is the last title line's value, untouched");
  Check(info.titlePictureUrl == ResolvePicturePath(titlePicture, address),
        "the title picture is resolved");
  Check(info.backgroundPictureUrl == ResolvePicturePath(background, address),
        "the background is resolved");
  Check(IsComplete(info) == (!title.empty() && !titlePicture.empty() && !background.empty()),
        "complete when the three values are non-empty");
}

}  // namespace bolta::fuzz

// A SETTING.TXT body arriving in random chunks: the same lines as the body read at once, and
// each key's field is the value of its last line, a picture path resolved on the board's base.
#include <random>
#include <vector>

#include "fuzz/check.h"
#include "retrieval/line_reader.h"
#include "retrieval/signboard_info.h"

using namespace bolta;
using bolta::fuzz::Check;

namespace {

// The lines by the rule itself: every CR dropped, cut at LF, no empty last line.
std::vector<std::string> LinesOf(std::string_view body) {
  std::string text;
  for (char c : body)
    if (c != '\r') text += c;
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1)
    lines.push_back(text.substr(start, lf - start));
  if (start < text.size()) lines.push_back(text.substr(start));
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

void CheckPicture(const std::string& stored, const std::string& value, const BoardAddress& at) {
  if (value.starts_with("./")) {
    Check(stored == "http://" + at.host + "/" + at.board + value.substr(1), "./ is the board");
  } else if (value.starts_with("../")) {
    Check(stored == "http://" + at.host + value.substr(2), "../ is the host's root");
  } else {
    Check(stored == value, "any other picture value is stored as it is");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view body = fuzz::Bytes(data, size);
  const std::vector<std::string> lines = LinesOf(body);
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
  CheckPicture(info.titlePictureUrl, titlePicture, address);
  CheckPicture(info.backgroundPictureUrl, background, address);
  Check(IsComplete(info) == (!title.empty() && !titlePicture.empty() && !background.empty()),
        "complete when the three values are non-empty");
  return 0;
}

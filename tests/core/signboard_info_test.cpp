#include "retrieval/signboard_info.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "retrieval/line_reader.h"

using namespace bolta;

const BoardAddress kNews{.board = "news", .host = "host1"};

// `body` applied line by line as the request delivers it: "title|title picture|background",
// with " complete" when the signboard can be shown.
static std::string Interpret(const std::string& body) {
  SignboardInfo info;
  LineReader reader;
  reader.Append(body);
  for (std::string line; reader.NextLine(line) || reader.LastLine(line);)
    ApplySettingLine(line, kNews, info);
  return info.title + "|" + info.titlePictureUrl + "|" + info.backgroundPictureUrl +
         (IsComplete(info) ? " complete" : "");
}

// Real files in CP932 and UTF-8, CR LF and LF, with and without a final LF, one empty; the
// complete ones say "../php.gif" and "../ba.gif".
TEST(SettingSamples, real_files_give_their_title_and_completeness) {
  const char* rows[][2] = {
      {"01-php2chbbs-bbs-sjis.txt", "\x8c\x66\x8e\xa6\x94\xc2"},
      {"02-php2chbbs-bbs-utf8.txt", "掲示板"},
      {"03-bbs18c-clone-board-sjis-crlf.txt", "\x8c\x66\x8e\xa6\x94\xc2"},
      {"04-fine-ch-board.txt", "掲示板"},
      {"05-fine-ch-en.txt", "掲示板"},
      {"06-2chlikebbs-utf8-board.txt", "掲示板"},
      {"07-rabbitscript-board.txt", "兎の国スクリプト（仮）"},
      {"08-p2p2ch-public.txt", "P2Pちゃんねる（仮）"},
      {"09-bbsreadphp-root.txt", "BBSreadphp掲示板"},
      {"10-bbsreadphp-base.txt", "テスト掲示板＠BBSreadphp"},
      {"10b-bbsreadphp-base-empty-59e002c.txt", ""},
      {"11-genkai-shuuraku-v1.txt", "\x8fW\x97\x8e\x94\xc2"},
      {"12-genkai-shuuraku-v4-sjis5c.txt", "\x8fW\x97\x8e\x94\xc2"},
      {"13-like-certain-board-root-sjis.txt", "yarufre"},
      {"14-like-certain-board-src-utf8.txt", "yarufre"},
      {"15-like-certain-board-sample-sjis.txt", "test"},
      {"16-telos-bbs-public-bbs-sjis.txt", "\x82\xc4\x82\xb7\x82\xc6\x94\xc2"},
  };
  const std::string pictures = "|http://host1/php.gif|http://host1/ba.gif complete";
  for (const auto& [file, title] : rows) {
    std::ostringstream body;
    body << std::ifstream(BOLTA_FIXTURES_DIR "/setting-samples/" + std::string(file)).rdbuf();
    // The first seven are complete.
    EXPECT_EQ(Interpret(body.str()), title + (std::string(file) < "08" ? pictures : "||")) << file;
  }
  // A board at the host's root keeps the "/" of "./".
  EXPECT_EQ(ResolvePicturePath("./ba.gif", {.board = "", .host = "h"}), "http://h//ba.gif");
}

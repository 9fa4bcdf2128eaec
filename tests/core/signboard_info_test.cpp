#include "retrieval/signboard_info.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace bolta {
namespace {

const BoardAddress kNews{.board = "news", .host = "host1"};

struct ResolveCase {
  const char* name;
  std::string value;
  std::string resolved;
};
void PrintTo(const ResolveCase& c, std::ostream* os) { *os << c.name; }

class ResolvePicturePathTest : public testing::TestWithParam<ResolveCase> {};

TEST_P(ResolvePicturePathTest, replaces_only_the_leading_prefix) {
  EXPECT_EQ(ResolvePicturePath(GetParam().value, kNews), GetParam().resolved);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ResolvePicturePathTest,
    testing::Values(
        ResolveCase{"board_relative", "./ba.gif", "http://host1/news/ba.gif"},
        ResolveCase{"board_relative_subfolder", "./img/ba.gif", "http://host1/news/img/ba.gif"},
        ResolveCase{"board_directory_alone", "./", "http://host1/news/"},
        ResolveCase{"board_relative_double_slash_kept", ".//ba.gif", "http://host1/news//ba.gif"},
        ResolveCase{"host_root_relative", "../ba.gif", "http://host1/ba.gif"},
        ResolveCase{"second_parent_step_kept", "../../ba.gif", "http://host1/../ba.gif"},
        ResolveCase{"host_root_alone", "../", "http://host1/"},
        ResolveCase{"root_path_unchanged", "/img/ba.gif", "/img/ba.gif"},
        ResolveCase{"plain_relative_unchanged", "img/ba.gif", "img/ba.gif"},
        ResolveCase{"absolute_unchanged", "http://host2/ba.gif", "http://host2/ba.gif"},
        ResolveCase{"https_unchanged", "https://host2/ba.gif", "https://host2/ba.gif"},
        ResolveCase{"dot_alone_unchanged", ".", "."},
        ResolveCase{"two_dots_alone_unchanged", "..", ".."},
        ResolveCase{"empty_stays_empty", "", ""}),
    [](const testing::TestParamInfo<ResolveCase>& info) { return std::string(info.param.name); });

TEST(ResolvePicturePath, board_top_address_leaves_an_empty_board_segment) {
  EXPECT_EQ(ResolvePicturePath("./ba.gif", BoardAddress{.board = "", .host = "host1"}),
            "http://host1//ba.gif");
}

struct LinesCase {
  const char* name;
  std::vector<std::string> lines;
  SignboardInfo expected;
  bool complete;
};
void PrintTo(const LinesCase& c, std::ostream* os) { *os << c.name; }

class ApplySettingLineTest : public testing::TestWithParam<LinesCase> {};

TEST_P(ApplySettingLineTest, sets_the_fields_that_the_lines_name) {
  SignboardInfo info;
  for (const std::string& line : GetParam().lines) ApplySettingLine(line, kNews, info);
  EXPECT_EQ(info.title, GetParam().expected.title);
  EXPECT_EQ(info.titlePictureUrl, GetParam().expected.titlePictureUrl);
  EXPECT_EQ(info.backgroundPictureUrl, GetParam().expected.backgroundPictureUrl);
  EXPECT_EQ(IsComplete(info), GetParam().complete);
}

SignboardInfo Info(std::string title, std::string titlePicture, std::string background) {
  return {.backgroundPictureUrl = std::move(background),
          .titlePictureUrl = std::move(titlePicture),
          .title = std::move(title)};
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ApplySettingLineTest,
    testing::Values(
        LinesCase{"three_keys",
                  {"BBS_TITLE=News", "BBS_TITLE_PICTURE=./t.gif", "BBS_BG_PICTURE=../b.gif"},
                  Info("News", "http://host1/news/t.gif", "http://host1/b.gif"),
                  true},
        LinesCase{"key_alone_empties_the_field",
                  {"BBS_TITLE=News", "BBS_TITLE="},
                  Info("", "", ""),
                  false},
        LinesCase{
            "value_keeps_further_equals_signs", {"BBS_TITLE=a=b"}, Info("a=b", "", ""), false},
        LinesCase{"value_keeps_its_spaces", {"BBS_TITLE= News "}, Info(" News ", "", ""), false},
        LinesCase{"lower_case_key_sets_nothing", {"bbs_title=News"}, Info("", "", ""), false},
        LinesCase{
            "space_before_the_key_sets_nothing", {" BBS_TITLE=News"}, Info("", "", ""), false},
        LinesCase{"space_before_the_equals_sign_sets_nothing",
                  {"BBS_TITLE =News"},
                  Info("", "", ""),
                  false},
        LinesCase{"line_shorter_than_the_key_sets_nothing", {"BBS_TITLE"}, Info("", "", ""), false},
        LinesCase{"title_picture_line_is_no_title",
                  {"BBS_TITLE_PICTURE=./t.gif"},
                  Info("", "http://host1/news/t.gif", ""),
                  false},
        LinesCase{
            "last_title_wins",
            {"BBS_TITLE=Old", "BBS_TITLE_PICTURE=t.gif", "BBS_BG_PICTURE=b.gif", "BBS_TITLE=New"},
            Info("New", "t.gif", "b.gif"),
            true},
        LinesCase{"missing_background_is_incomplete",
                  {"BBS_TITLE=News", "BBS_TITLE_PICTURE=t.gif"},
                  Info("News", "t.gif", ""),
                  false},
        LinesCase{"empty_background_is_incomplete",
                  {"BBS_TITLE=News", "BBS_TITLE_PICTURE=t.gif", "BBS_BG_PICTURE="},
                  Info("News", "t.gif", ""),
                  false},
        LinesCase{"server_error_page_is_incomplete",
                  {"<html><body>404 Not Found</body></html>"},
                  Info("", "", ""),
                  false},
        LinesCase{"cp932_title_is_stored_byte_for_byte",
                  {"BBS_TITLE=\x8c\x66\x8e\xa6\x94\xc2\x95\\"},
                  Info("\x8c\x66\x8e\xa6\x94\xc2\x95\\", "", ""),
                  false},
        LinesCase{"double_byte_character_first_sets_nothing",
                  {"\x81\x40"
                   "BBS_TITLE=News"},
                  Info("", "", ""),
                  false}),
    [](const testing::TestParamInfo<LinesCase>& info) { return std::string(info.param.name); });

// Lines as the request delivers them: LF ends a line, every CR is dropped, bytes after the last
// LF are a last line, an empty body has no line.
std::vector<std::string> BodyLines(const std::string& body) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : body) {
    if (c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  if (!body.empty() && body.back() != '\n') lines.push_back(std::move(line));
  return lines;
}

std::string ReadSample(const std::string& name) {
  std::ifstream file(std::string(BOLTA_FIXTURES_DIR) + "/setting-samples/" + name,
                     std::ios::binary);
  EXPECT_TRUE(file) << name;
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct SampleCase {
  const char* name;
  const char* file;
  std::string title;
  bool complete;
};
void PrintTo(const SampleCase& c, std::ostream* os) { *os << c.name; }

class SettingSampleTest : public testing::TestWithParam<SampleCase> {};

TEST_P(SettingSampleTest, real_file_gives_the_expected_outcome) {
  const BoardAddress address = ParseBoardAddress("http://host1/test/read.cgi/news/123/");
  SignboardInfo info;
  for (const std::string& line : BodyLines(ReadSample(GetParam().file)))
    ApplySettingLine(line, address, info);
  EXPECT_EQ(info.title, GetParam().title);
  EXPECT_EQ(IsComplete(info), GetParam().complete);
  if (GetParam().complete) {
    EXPECT_EQ(info.titlePictureUrl, "http://host1/php.gif");
    EXPECT_EQ(info.backgroundPictureUrl, "http://host1/ba.gif");
  }
}

const std::string kSjisBoard = "\x8c\x66\x8e\xa6\x94\xc2";              // 掲示板 in CP932
const std::string kUtf8Board = "\xe6\x8e\xb2\xe7\xa4\xba\xe6\x9d\xbf";  // 掲示板 in UTF-8

INSTANTIATE_TEST_SUITE_P(
    Samples, SettingSampleTest,
    testing::Values(
        SampleCase{"cp932_lf", "01-php2chbbs-bbs-sjis.txt", kSjisBoard, true},
        SampleCase{"utf8_lf", "02-php2chbbs-bbs-utf8.txt", kUtf8Board, true},
        SampleCase{"cp932_crlf", "03-bbs18c-clone-board-sjis-crlf.txt", kSjisBoard, true},
        SampleCase{"utf8_crlf", "04-fine-ch-board.txt", kUtf8Board, true},
        SampleCase{"utf8_crlf_english_variant", "05-fine-ch-en.txt", kUtf8Board, true},
        SampleCase{"utf8_crlf_other_server", "06-2chlikebbs-utf8-board.txt", kUtf8Board, true},
        SampleCase{"utf8_crlf_long_title", "07-rabbitscript-board.txt",
                   "\xe5\x85\x8e\xe3\x81\xae\xe5\x9b\xbd\xe3\x82\xb9\xe3\x82\xaf\xe3\x83\xaa\xe3"
                   "\x83\x97\xe3\x83\x88\xef\xbc\x88\xe4\xbb\xae\xef\xbc\x89",
                   true},
        SampleCase{"empty_picture_values_no_final_lf", "08-p2p2ch-public.txt",
                   "P2P\xe3\x81\xa1\xe3\x82\x83\xe3\x82\x93\xe3\x81\xad\xe3\x82\x8b\xef\xbc\x88"
                   "\xe4\xbb\xae\xef\xbc\x89",
                   false},
        SampleCase{"no_picture_keys", "09-bbsreadphp-root.txt", "BBSreadphp" + kUtf8Board, false},
        SampleCase{"empty_picture_values", "10-bbsreadphp-base.txt",
                   "\xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88" + kUtf8Board +
                       "\xef\xbc\xa0"
                       "BBSreadphp",
                   false},
        SampleCase{"empty_body", "10b-bbsreadphp-base-empty-59e002c.txt", "", false},
        SampleCase{"title_only", "11-genkai-shuuraku-v1.txt", "\x8fW\x97\x8e\x94\xc2", false},
        SampleCase{"title_only_with_0x5c_trail_bytes", "12-genkai-shuuraku-v4-sjis5c.txt",
                   "\x8fW\x97\x8e\x94\xc2", false},
        SampleCase{"cp932_crlf_title_only", "13-like-certain-board-root-sjis.txt", "yarufre",
                   false},
        SampleCase{"utf8_crlf_title_only", "14-like-certain-board-src-utf8.txt", "yarufre", false},
        SampleCase{"cp932_crlf_ascii_title", "15-like-certain-board-sample-sjis.txt", "test",
                   false},
        SampleCase{"many_other_keys", "16-telos-bbs-public-bbs-sjis.txt",
                   "\x82\xc4\x82\xb7\x82\xc6\x94\xc2", false}),
    [](const testing::TestParamInfo<SampleCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace bolta

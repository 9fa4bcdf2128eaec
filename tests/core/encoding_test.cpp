#include "res/encoding.h"

#include <gtest/gtest.h>

namespace bolta {
namespace {

TEST(Encoding, cp932_text_decodes_to_utf8) {
  EXPECT_EQ(Cp932ToUtf8("\x89\xe6\x91\x9c\x93\xc7\x8d\x9e\x92\x86\x81\x63"), "画像読込中…");
  EXPECT_EQ(Cp932ToUtf8("\xc9"), "ﾉ");
}

TEST(Encoding, undecodable_cp932_bytes_become_replacement_characters) {
  EXPECT_EQ(Cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");
  EXPECT_EQ(Cp932ToUtf8("\xa0z"), "\xEF\xBF\xBDz");
}

TEST(Encoding, utf8_without_a_cp932_form_is_refused) {
  EXPECT_EQ(Utf8ToCp932("プロキシ"), std::optional<std::string>("\x83v\x83\x8d\x83L\x83V"));
  EXPECT_EQ(Utf8ToCp932("proxy😀"), std::nullopt);
  EXPECT_EQ(Utf8ToCp932("\xff"), std::nullopt);
}

TEST(Encoding, board_titles_in_utf8_stay_utf8_and_others_are_read_as_cp932) {
  EXPECT_EQ(BoardTextToUtf8("ニュース速報"), "ニュース速報");
  EXPECT_EQ(BoardTextToUtf8("\x83j\x83\x85\x81[\x83X"), "ニュース");
  EXPECT_EQ(BoardTextToUtf8("plain"), "plain");
}

}  // namespace
}  // namespace bolta

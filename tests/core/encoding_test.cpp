#include "res/encoding.h"

#include <gtest/gtest.h>

using namespace bolta;

// Board titles come in either encoding; text going back to CP932 must not change silently.
TEST(Encoding, titles_decode_from_either_encoding_and_bad_bytes_never_break_the_text) {
  EXPECT_EQ(BoardTextToUtf8("ニュース速報"), "ニュース速報");
  EXPECT_EQ(BoardTextToUtf8("\x83j\x83\x85\x81[\x83X"), "ニュース");
  EXPECT_EQ(BoardTextToUtf8("\xa0z\x81"), "\uFFFDz\uFFFD");
  EXPECT_EQ(Utf8ToCp932("proxy😀"), std::nullopt);
}

// What passes for UTF-8 without being well-formed is no UTF-8: decoded as CP932, it never comes
// out empty or ill-formed (the toolkit would blank the caption).
TEST(Encoding, only_well_formed_utf8_is_taken_as_utf8) {
  EXPECT_EQ(BoardTextToUtf8("\xe3\x81\x82\xf4\x90\x80\x80X"),
            Cp932ToUtf8("\xe3\x81\x82\xf4\x90\x80\x80X"));
  EXPECT_EQ(BoardTextToUtf8("\xf4\x90\x80\x80"), Cp932ToUtf8("\xf4\x90\x80\x80"));
  EXPECT_FALSE(BoardTextToUtf8("\xf4\x90\x80\x80").empty());
  for (const char* illFormed : {"\xf4\x90\x80\x80", "\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80",
                                "\xf8\x88\x80\x80\x80", "\xe3\x81"})
    EXPECT_NE(BoardTextToUtf8(illFormed), illFormed) << illFormed;
  for (const char* wellFormed :
       {"\xf4\x8f\xbf\xbf", "\xed\x9f\xbf", "\xf0\x90\x80\x80", "\xc2\x80"})
    EXPECT_EQ(BoardTextToUtf8(wellFormed), wellFormed) << wellFormed;
}

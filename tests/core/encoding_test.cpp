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

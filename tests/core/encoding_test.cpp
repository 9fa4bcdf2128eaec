#include "res/encoding.h"

#include <gtest/gtest.h>

using namespace bolta;

// A bad byte of a title shows as such; text going back to CP932 must not change silently.
TEST(Encoding, bad_bytes_become_replacement_characters_and_no_cp932_form_is_refused) {
  EXPECT_EQ(BoardTextToUtf8("\xa0z\x81"), "\uFFFDz\uFFFD");
  EXPECT_EQ(Utf8ToCp932("proxy😀"), std::nullopt);
}

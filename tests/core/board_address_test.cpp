#include "retrieval/board_address.h"

#include <gtest/gtest.h>

#include <random>

using namespace bolta;

// Random texts of whole characters, the pieces known from how the text was built (so they also
// join back to the text): a wrong step through double-byte characters cuts at a trail byte that
// equals the delimiter, or loses a lone lead byte at the end.
TEST(SplitByDelimiter, cuts_at_character_starts_only_and_keeps_every_byte) {
  const std::string characters[] = {"a",      "/",     "\\",       "|",    "\x95\\",
                                    "\x83\\", "\x81|", "\x82\xa0", "\xc9", "\xe0\x40"};
  const std::string delimiters[] = {"/", "\\", "|", "\x95\\", "\xc9"};
  std::mt19937 random(20240601);
  for (int round = 0; round < 3000; ++round) {
    const std::string& delimiter = delimiters[round % 5];
    std::string text;
    StringArray expected{""};
    for (auto length = random() % 16; length > 0; --length) {
      const std::string& character = characters[random() % std::size(characters)];
      text += character;
      character == delimiter ? expected.emplace_back() : expected.back() += character;
    }
    if (random() % 4 == 0) text += '\x95', expected.back() += '\x95';  // a lone lead byte
    ASSERT_EQ(SplitByDelimiter(text, delimiter), expected) << "round " << round;
  }
  EXPECT_EQ(SplitByDelimiter("a/b", ""), StringArray{"a/b"});
}

#include "retrieval/board_address.h"

#include <gtest/gtest.h>

#include <random>

using namespace bolta;

TEST(ParseBoardAddress, takes_host_and_board_by_position) {
  const char* rows[][3] = {
      // name, address, "host board"
      {"thread address", "http://host1/p1/p2/news/123/", "host1 news"},
      {"board top address has only five pieces", "http://host1/news/", "host1 "},
      {"no scheme shifts every piece", "host1/p1/p2/news/123/", "p2 "},
      {"port stays with the host", "http://host1:8080/p1/p2/news/1/", "host1:8080 news"},
      {"other scheme is not looked at", "https://host1/p1/p2/news/1/", "host1 news"},
      {"empty pieces count", "http:///p1//news/1/", " news"},
      {"empty text", "", " "},
      {"UTF-8 host ending in a byte like a CP932 lead byte", "http://例.テスト/p1/p2/news/1/",
       "例.テスト news"},
  };
  for (const auto& [name, address, expected] : rows)
    EXPECT_EQ(ParseBoardAddress(address).host + " " + ParseBoardAddress(address).board, expected)
        << name;
}

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

#include "retrieval/board_address.h"

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace bolta {
namespace {

struct AddressCase {
  const char* name;
  std::string address;
  StringArray pieces;
  std::string host;
  std::string board;
};
void PrintTo(const AddressCase& c, std::ostream* os) { *os << c.name; }

class ParseBoardAddressTest : public testing::TestWithParam<AddressCase> {};

TEST_P(ParseBoardAddressTest, takes_host_and_board_by_position) {
  const AddressCase& c = GetParam();
  EXPECT_EQ(SplitByDelimiter(c.address, "/"), c.pieces);
  const BoardAddress parsed = ParseBoardAddress(c.address);
  EXPECT_EQ(parsed.host, c.host);
  EXPECT_EQ(parsed.board, c.board);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, ParseBoardAddressTest,
    testing::Values(AddressCase{"thread_address",
                                "http://host1/p1/p2/news/123/",
                                {"http:", "", "host1", "p1", "p2", "news", "123", ""},
                                "host1",
                                "news"},
                    AddressCase{"thread_address_with_a_tail",
                                "http://host1/p1/p2/news/123/tail",
                                {"http:", "", "host1", "p1", "p2", "news", "123", "tail"},
                                "host1",
                                "news"},
                    AddressCase{"board_deep_in_the_path",
                                "http://host1/p1/p2/news/",
                                {"http:", "", "host1", "p1", "p2", "news", ""},
                                "host1",
                                "news"},
                    AddressCase{"board_top_address_has_only_five_pieces",
                                "http://host1/news/",
                                {"http:", "", "host1", "news", ""},
                                "host1",
                                ""},
                    AddressCase{"host_alone", "http://host1", {"http:", "", "host1"}, "host1", ""},
                    AddressCase{"no_scheme_shifts_every_piece",
                                "host1/p1/p2/news/123/",
                                {"host1", "p1", "p2", "news", "123", ""},
                                "p2",
                                ""},
                    AddressCase{"port_stays_with_the_host",
                                "http://host1:8080/p1/p2/news/1/",
                                {"http:", "", "host1:8080", "p1", "p2", "news", "1", ""},
                                "host1:8080",
                                "news"},
                    AddressCase{"other_scheme_is_not_looked_at",
                                "https://host1/p1/p2/news/1/",
                                {"https:", "", "host1", "p1", "p2", "news", "1", ""},
                                "host1",
                                "news"},
                    AddressCase{"empty_text", "", {""}, "", ""}),
    [](const testing::TestParamInfo<AddressCase>& info) { return std::string(info.param.name); });

struct SplitCase {
  const char* name;
  std::string text;
  std::string delimiter;
  StringArray pieces;
};
void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitByDelimiterTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitByDelimiterTest, cuts_at_every_occurrence_on_a_character_start) {
  EXPECT_EQ(SplitByDelimiter(GetParam().text, GetParam().delimiter), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, SplitByDelimiterTest,
    testing::Values(
        SplitCase{"two_delimiters_in_a_row_keep_an_empty_piece", "a//b", "/", {"a", "", "b"}},
        SplitCase{"delimiter_alone_gives_two_empty_pieces", "/", "/", {"", ""}},
        SplitCase{"longer_delimiter", "a::b::", "::", {"a", "b", ""}},
        // 0x95 0x5C is one character; its second byte is no backslash.
        SplitCase{"trail_byte_equal_to_the_delimiter_is_no_occurrence",
                  "\x95\\\\x",
                  "\\",
                  {"\x95\\", "x"}},
        SplitCase{"double_byte_delimiter",
                  "a\x95\\"
                  "b",
                  "\x95\\",
                  {"a", "b"}},
        SplitCase{"half_width_katakana_is_one_byte", "\xc9\\x", "\\", {"\xc9", "x"}},
        SplitCase{"lone_lead_byte_at_the_end_keeps_the_last_piece", "a/\x95", "/", {"a", "\x95"}},
        SplitCase{"empty_delimiter_gives_the_text_whole", "a/b", "", {"a/b"}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

std::string Join(const StringArray& pieces, const std::string& delimiter) {
  std::string joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) joined += (i ? delimiter : "") + pieces[i];
  return joined;
}

// Texts of whole characters, with the pieces known from how the text was built: a wrong step
// through double-byte characters cuts where no delimiter character stands.
TEST(SplitByDelimiter, pieces_of_random_character_texts_are_those_between_the_delimiters) {
  // ASCII, the delimiter candidates, double-byte characters whose trail byte is "\" or "|",
  // half-width katakana.
  const std::vector<std::string> characters = {
      "a", "/", "\\", ":", "|", "\x95\\", "\x83\\", "\x81|", "\x82\xa0", "\xc9", "\xe0\x40"};
  const std::vector<std::string> delimiters = {"/", "\\", "|", "\x95\\", "\xc9"};
  std::mt19937 random(20240601);
  for (int round = 0; round < 2000; ++round) {
    const std::string& delimiter = delimiters[round % delimiters.size()];
    std::string text;
    StringArray expected{""};
    const int length = static_cast<int>(random() % 16);
    for (int i = 0; i < length; ++i) {
      const std::string& character = characters[random() % characters.size()];
      text += character;
      if (character == delimiter)
        expected.emplace_back();
      else
        expected.back() += character;
    }
    ASSERT_EQ(SplitByDelimiter(text, delimiter), expected) << "round " << round;
  }
}

TEST(SplitByDelimiter, joining_the_pieces_of_any_byte_text_gives_it_back) {
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    auto randomBytes = [&](int maxLength) {
      std::string bytes(random() % (maxLength + 1), '\0');
      // Bytes from a small set so that delimiters occur often; lead bytes included.
      static constexpr char kBytes[] = {'/', '\\', 'a', '\x95', '\x81', '\xc9', '\xfc', '\0'};
      for (char& b : bytes) b = kBytes[random() % sizeof kBytes];
      return bytes;
    };
    const std::string text = randomBytes(20);
    std::string delimiter = randomBytes(2);
    if (delimiter.empty()) delimiter = "/";
    const StringArray pieces = SplitByDelimiter(text, delimiter);
    ASSERT_EQ(Join(pieces, delimiter), text) << "round " << round;
  }
}

}  // namespace
}  // namespace bolta

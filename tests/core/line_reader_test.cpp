#include "retrieval/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bolta {
namespace {

// All lines of a stream that arrives in the given pieces.
std::vector<std::string> Lines(const std::vector<std::string>& pieces) {
  LineReader reader;
  std::vector<std::string> lines;
  std::string line;
  for (const auto& piece : pieces) {
    reader.Append(piece);
    while (reader.NextLine(line)) lines.push_back(line);
  }
  if (reader.LastLine(line)) lines.push_back(line);
  EXPECT_FALSE(reader.LastLine(line)) << "the last line is given once";
  return lines;
}

struct Case {
  const char* name;
  std::vector<std::string> pieces;
  std::vector<std::string> lines;
};

TEST(LineReader, cuts_lines_by_the_rule) {
  const Case cases[] = {
      {"empty body gives no line", {}, {}},
      {"empty pieces give no line", {"", ""}, {}},
      {"lf endings", {"A\nB\n"}, {"A", "B"}},
      {"crlf endings give the same lines", {"A\r\nB\r\n"}, {"A", "B"}},
      {"cr inside a line disappears", {"A\rB\n"}, {"AB"}},
      {"bytes after the last lf are a last line", {"A\r\n\r\nB"}, {"A", "", "B"}},
      {"a lone lf is one empty line", {"\n"}, {""}},
      {"only a cr gives no line", {"\r"}, {}},
      {"cr after the last lf gives no last line", {"A\n\r"}, {"A"}},
      {"cr and lf in different pieces", {"A\r", "\nB", "C\r", "\n"}, {"A", "BC"}},
      {"a line over many pieces", {"BBS_", "TITLE", "=x"}, {"BBS_TITLE=x"}},
      {"bytes are not converted",
       {std::string("\x94\xc2\x82\xcc\x00\xff\n", 7)},
       {std::string("\x94\xc2\x82\xcc\x00\xff", 6)}},
  };
  for (const Case& row : cases) {
    EXPECT_EQ(Lines(row.pieces), row.lines) << row.name;
  }
}

TEST(LineReader, keeps_a_long_line_whole_while_many_short_ones_pass) {
  LineReader reader;
  std::string line;
  for (int i = 0; i < 1000; ++i) {
    reader.Append("line\r\n");
    ASSERT_TRUE(reader.NextLine(line));
    ASSERT_EQ(line, "line");
  }
  const std::string longLine(1 << 20, 'x');
  for (std::size_t at = 0; at < longLine.size(); at += 4096) {
    reader.Append(std::string_view(longLine).substr(at, 4096));
    ASSERT_FALSE(reader.NextLine(line));
  }
  reader.Append("\nrest");
  ASSERT_TRUE(reader.NextLine(line));
  EXPECT_EQ(line, longLine);
  EXPECT_FALSE(reader.NextLine(line));
  ASSERT_TRUE(reader.LastLine(line));
  EXPECT_EQ(line, "rest");
}

}  // namespace
}  // namespace bolta

#include "retrieval/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bolta {
namespace {

// All lines of a stream that arrives in the given pieces, read as each piece arrives.
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

TEST(LineReader, cuts_lines_by_the_rule) {
  struct Case {
    const char* name;
    std::vector<std::string> pieces, lines;
  };
  const Case cases[] = {
      {"empty body gives no line", {}, {}},
      {"lf endings", {"A\nB\n"}, {"A", "B"}},
      {"crlf endings give the same lines", {"A\r\nB\r\n"}, {"A", "B"}},
      {"cr inside a line disappears", {"A\rB\n"}, {"AB"}},
      {"bytes after the last lf are a last line", {"A\r\n\r\nB"}, {"A", "", "B"}},
      {"only a cr gives no line", {"\r"}, {}},
      {"cr after the last lf gives no last line", {"A\n\r"}, {"A"}},
      {"cr and lf in different pieces", {"A\r", "\nB", "C\r", "\n"}, {"A", "BC"}},
      {"a line across the dropping of read lines", {"A\nB\nCC", "C\nD"}, {"A", "B", "CCC", "D"}},
      {"bytes are not converted", {"\x94\xc2\x82\xcc\xff\n"}, {"\x94\xc2\x82\xcc\xff"}},
  };
  for (const Case& row : cases) {
    EXPECT_EQ(Lines(row.pieces), row.lines) << row.name;
  }
}

}  // namespace
}  // namespace bolta

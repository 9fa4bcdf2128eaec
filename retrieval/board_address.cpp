#include "retrieval/board_address.h"

#include <cstddef>
#include <utility>

namespace bolta {
namespace {

// A code page 932 lead byte: the character it starts is two bytes long.
bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The first occurrence of `delimiter` that begins on a character start at or after `start`, or
// npos. `start` is taken to be a character start.
std::size_t FindAtCharacterStart(const std::string& text, const std::string& delimiter,
                                 std::size_t start) {
  for (std::size_t pos = start; pos < text.size();
       pos += IsLeadByte(static_cast<unsigned char>(text[pos])) ? 2 : 1) {
    if (text.compare(pos, delimiter.size(), delimiter) == 0) return pos;
  }
  return std::string::npos;
}

}  // namespace

StringArray SplitByDelimiter(std::string text, std::string delimiter) {
  // An empty delimiter occurs everywhere and would never move the search on.
  if (delimiter.empty()) return {std::move(text)};

  // The rest after the last occurrence is the last piece, taken by position: a delimiter
  // appended to be searched for would be swallowed as the trail byte of a lone lead byte at the
  // end of the text, and that last piece lost.
  StringArray pieces;
  std::size_t start = 0;
  for (std::size_t found;
       (found = FindAtCharacterStart(text, delimiter, start)) != std::string::npos;
       start = found + delimiter.size()) {
    pieces.push_back(text.substr(start, found - start));
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

BoardAddress ParseBoardAddress(const std::string& address) {
  const StringArray pieces = SplitByDelimiter(address, "/");
  BoardAddress result;
  if (pieces.size() > 2) result.host = pieces[2];
  if (pieces.size() > 5) result.board = pieces[5];
  return result;
}

}  // namespace bolta

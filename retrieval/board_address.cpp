#include "retrieval/board_address.h"

#include <cstddef>
#include <utility>

namespace bolta {
namespace {

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// The length of the character at `pos`: two bytes for a lead byte followed by a trail byte. A
// lead byte before anything else stands alone, so that it cannot swallow a "/" after it (as the
// last byte of a UTF-8 character on the command line may look like a lead byte).
std::size_t CharacterLength(const std::string& text, std::size_t pos) {
  return pos + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[pos])) &&
                 IsTrailByte(static_cast<unsigned char>(text[pos + 1]))
             ? 2
             : 1;
}

// The first occurrence of `delimiter` that begins on a character start at or after `start`, or
// npos. `start` is taken to be a character start.
std::size_t FindAtCharacterStart(const std::string& text, const std::string& delimiter,
                                 std::size_t start) {
  for (std::size_t pos = start; pos < text.size(); pos += CharacterLength(text, pos)) {
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

#pragma once
// The host and board directory taken from a thread address by position.
#include <string>
#include <vector>

namespace bolta {

using StringArray = std::vector<std::string>;

// Pieces of `text` cut at every occurrence of `delimiter`, empty pieces kept: n occurrences give
// n + 1 pieces. An occurrence only begins at the start of a code page 932 character.
StringArray SplitByDelimiter(std::string text, std::string delimiter);

// Declared board first, then host: the order in which the view holds them.
struct BoardAddress {
  std::string board;  // piece 5 of the address cut at "/", or empty
  std::string host;   // piece 2, or empty; keeps a ":port" suffix
};

BoardAddress ParseBoardAddress(const std::string& address);

}  // namespace bolta

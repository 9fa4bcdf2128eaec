// Address parsing: the pieces join back to the text, and host and board are pieces 2 and 5.
#include <algorithm>

#include "fuzz/check.h"
#include "retrieval/board_address.h"

namespace bolta::fuzz {

void Properties(std::string_view address) {
  const StringArray pieces = SplitByDelimiter(std::string(address), "/");
  std::string joined;
  for (const std::string& piece : pieces) joined += piece + '/';
  Check(joined == std::string(address) + '/', "the pieces joined at / give the address back");
  // "/" is never the trail byte of a CP932 character: every one of them cuts.
  Check(pieces.size() == size_t(std::ranges::count(address, '/')) + 1,
        "n delimiters give n + 1 pieces");
  const BoardAddress parsed = ParseBoardAddress(std::string(address));
  Check(parsed.host == (pieces.size() > 2 ? pieces[2] : ""), "the host is piece 2");
  Check(parsed.board == (pieces.size() > 5 ? pieces[5] : ""), "the board is piece 5");
}

}  // namespace bolta::fuzz

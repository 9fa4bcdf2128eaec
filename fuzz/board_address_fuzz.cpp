// Address parsing: the pieces join back to the text, and host and board are pieces 2 and 5.
#include "fuzz/check.h"
#include "retrieval/board_address.h"

using namespace bolta;
using bolta::fuzz::Check;

namespace {

std::string Join(const StringArray& pieces) {
  std::string text;
  for (size_t i = 0; i < pieces.size(); ++i) (i ? text += '/' : text) += pieces[i];
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string address(fuzz::Bytes(data, size));
  const StringArray pieces = SplitByDelimiter(address, "/");
  Check(Join(pieces) == address, "the pieces joined at / give the address back");
  // "/" is never the trail byte of a CP932 character: every one of them cuts.
  Check(pieces.size() == fuzz::Count(address, '/') + 1, "n delimiters give n + 1 pieces");
  const BoardAddress parsed = ParseBoardAddress(address);
  Check(parsed.host == (pieces.size() > 2 ? pieces[2] : ""), "the host is piece 2");
  Check(parsed.board == (pieces.size() > 5 ? pieces[5] : ""), "the board is piece 5");
  return 0;
}

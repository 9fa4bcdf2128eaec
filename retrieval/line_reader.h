#pragma once
// Cuts a byte stream into lines as its bytes arrive: a line ends at LF, every CR anywhere is
// dropped, the bytes after the last LF are a last line, and an empty stream has no line. Bytes
// are never converted and a line may be of any length.
#include <cstddef>
#include <string>
#include <string_view>

namespace bolta {

class LineReader {
 public:
  void Append(std::string_view bytes);

  // The next line ended by an LF, if one has arrived.
  bool NextLine(std::string& line);

  // After the stream has ended and NextLine has given every line: the bytes after the last LF,
  // once, if there are any.
  bool LastLine(std::string& line);

 private:
  std::string pending_;      // arrived bytes, CRs already dropped
  std::size_t start_ = 0;    // where the next line begins in `pending_`
  std::size_t scanned_ = 0;  // `pending_` before this holds no LF past `start_`
};

}  // namespace bolta

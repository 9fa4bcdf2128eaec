#pragma once
// One ordered record of the calls that several fakes saw, so tests can check their interleaving.
#include <string>
#include <string_view>
#include <vector>

namespace bolta {

using CallLog = std::vector<std::string>;

// `text` with CR and LF written as \r and \n, in quotes, so a logged header block reads on one
// line.
inline std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char byte : text) {
    if (byte == '\r') {
      quoted += "\\r";
    } else if (byte == '\n') {
      quoted += "\\n";
    } else {
      quoted += byte;
    }
  }
  return quoted + "\"";
}

}  // namespace bolta

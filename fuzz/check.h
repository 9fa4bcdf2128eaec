#pragma once
// What every fuzz target shares: a failed property stops the run with a message, as a sanitizer
// report would.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace bolta::fuzz {

inline void Check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "fuzz: property failed: %s\n", property);
  std::abort();
}

inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

inline size_t Count(std::string_view text, char c) {
  size_t count = 0;
  for (char byte : text) count += byte == c;
  return count;
}

}  // namespace bolta::fuzz

#pragma once
// What every fuzz target shares: libFuzzer's entry point hands each input to the target's
// Properties(), and a failed property stops the run with a message, as a sanitizer report would.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace bolta::fuzz {

inline void Check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "fuzz: property failed: %s\n", property);
  std::abort();
}

// The target's own checks of one input.
void Properties(std::string_view input);

}  // namespace bolta::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  bolta::fuzz::Properties({reinterpret_cast<const char*>(data), size});
  return 0;
}

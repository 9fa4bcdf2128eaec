#pragma once
// Case-insensitive comparison of ASCII names (INI sections and keys, HTTP header names).
#include <algorithm>
#include <string_view>

namespace bolta {

// Only A-Z fold; every other byte, a CP932 lead or trail byte included, compares as it is.
inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace bolta

// Text conversions: whatever the bytes, what reaches the toolkit is well-formed UTF-8, and a
// non-empty title never becomes an empty caption.
#include <algorithm>

#include "fuzz/check.h"
#include "res/encoding.h"

using namespace bolta;
using bolta::fuzz::Check;

namespace {

// RFC 3629 by decoding: the shortest form of a scalar value up to U+10FFFF, no surrogate.
bool IsWellFormed(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80       ? 1
                          : lead >> 5 == 6  ? 2
                          : lead >> 4 == 14 ? 3
                          : lead >> 3 == 30 ? 4
                                            : 0;
    if (length == 0 || i + length > text.size()) return false;
    uint32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if (next >> 6 != 2) return false;
      value = value << 6 | (next & 0x3F);
    }
    const uint32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < shortest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
      return false;
    i += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = fuzz::Bytes(data, size);

  const std::string caption = BoardTextToUtf8(bytes);
  Check(IsWellFormed(caption), "a board title becomes well-formed UTF-8");
  Check(caption.empty() == bytes.empty(), "a non-empty title gives a non-empty caption");
  if (std::ranges::any_of(bytes, [](unsigned char c) { return c >= 0x80; }) && IsWellFormed(bytes))
    Check(caption == bytes, "a title in well-formed UTF-8 is shown as it is");
  if (!IsWellFormed(bytes)) Check(caption == Cp932ToUtf8(bytes), "anything else is CP932");

  const std::string text = Cp932ToUtf8(bytes);
  Check(IsWellFormed(text), "CP932 bytes become well-formed UTF-8");
  Check(text.empty() == bytes.empty(), "no CP932 text is lost whole");

  // Typed text (UTF-8) goes back to CP932 only when every character has a CP932 form.
  if (const auto cp932 = Utf8ToCp932(bytes)) {
    Check(IsWellFormed(bytes), "only UTF-8 converts to CP932");
    Check(IsWellFormed(Cp932ToUtf8(*cp932)), "and back to well-formed UTF-8");
  }
  return 0;
}

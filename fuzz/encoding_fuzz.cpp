// Text conversions: whatever the bytes, what reaches the toolkit is well-formed UTF-8, and a
// non-empty title never becomes an empty caption.
#include <iconv.h>

#include <algorithm>
#include <memory>

#include "fuzz/check.h"
#include "res/encoding.h"

namespace bolta::fuzz {
namespace {

// glibc's decoder into UTF-32 refuses what RFC 3629 does: overlong forms, surrogates, values
// above U+10FFFF and cut sequences. Opened once for the whole run.
bool IsWellFormed(std::string text) {
  static const std::unique_ptr<std::remove_pointer_t<iconv_t>, decltype(&iconv_close)> decoder(
      iconv_open("UTF-32LE", "UTF-8"), iconv_close);
  std::string out(4 * text.size(), '\0');
  char *from = text.data(), *to = out.data();
  size_t left = text.size(), room = out.size();
  iconv(decoder.get(), nullptr, nullptr, nullptr, nullptr);
  return iconv(decoder.get(), &from, &left, &to, &room) != size_t(-1);
}

}  // namespace

void Properties(std::string_view bytes) {
  const std::string caption = BoardTextToUtf8(bytes);
  Check(IsWellFormed(caption), "a board title becomes well-formed UTF-8");
  Check(caption.empty() == bytes.empty(), "a non-empty title gives a non-empty caption");
  const bool utf8 = IsWellFormed(std::string(bytes));
  if (std::ranges::any_of(bytes, [](unsigned char c) { return c >= 0x80; }) && utf8)
    Check(caption == bytes, "a title in well-formed UTF-8 is shown as it is");
  if (!utf8) Check(caption == Cp932ToUtf8(bytes), "anything else is CP932");

  const std::string text = Cp932ToUtf8(bytes);
  Check(IsWellFormed(text), "CP932 bytes become well-formed UTF-8");
  Check(text.empty() == bytes.empty(), "no CP932 text is lost whole");

  // Typed text (UTF-8) goes back to CP932 only when every character has a CP932 form.
  if (const auto cp932 = Utf8ToCp932(bytes)) {
    Check(utf8, "only UTF-8 converts to CP932");
    Check(IsWellFormed(Cp932ToUtf8(*cp932)), "and back to well-formed UTF-8");
  }
}

}  // namespace bolta::fuzz

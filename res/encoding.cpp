#include "res/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace bolta {
namespace {

// glibc's CP932 knows the vendor extensions that Windows' code page 932 has.
constexpr const char* kCp932 = "CP932";

struct IconvCloser {
  void operator()(iconv_t cd) const { iconv_close(cd); }
};
using Iconv = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

Iconv Open(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  return Iconv(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd);
}

// Converts all of `in`; on an unconvertible sequence either appends `replacement` and skips one
// byte, or (with no replacement) fails.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view in,
                                   std::optional<std::string_view> replacement) {
  Iconv cd = Open(to, from);
  if (!cd) return std::nullopt;
  std::string out;
  char buffer[256];
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t result = iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, dst - buffer);
    if (result != static_cast<size_t>(-1) || errno == E2BIG) continue;
    if (!replacement) return std::nullopt;
    out.append(*replacement);
    ++src;
    --srcLeft;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

bool IsAscii(std::string_view bytes) {
  for (unsigned char c : bytes)
    if (c >= 0x80) return false;
  return true;
}

// Well-formed UTF-8 as RFC 3629 has it: no overlong form, no surrogate, nothing above U+10FFFF.
// iconv's own UTF-8 decoder lets some of these through, and the toolkit then drops the text.
bool IsWellFormedUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
    if (lead < 0x80) {
      length = 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;   // overlong
      if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;   // overlong
      if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
      return false;
    }
    if (bytes.size() - i < length) return false;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
    }
    i += length;
  }
  return true;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  return Convert("UTF-8", kCp932, cp932, "\xEF\xBF\xBD").value_or(std::string());
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  return Convert(kCp932, "UTF-8", utf8, std::nullopt);
}

std::string BoardTextToUtf8(std::string_view bytes) {
  if (!IsAscii(bytes) && IsWellFormedUtf8(bytes)) return std::string(bytes);
  return Cp932ToUtf8(bytes);
}

}  // namespace bolta

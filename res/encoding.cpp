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

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  return Convert("UTF-8", kCp932, cp932, "\xEF\xBF\xBD").value_or(std::string());
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  return Convert(kCp932, "UTF-8", utf8, std::nullopt);
}

std::string BoardTextToUtf8(std::string_view bytes) {
  if (!IsAscii(bytes) && Convert("UTF-8", "UTF-8", bytes, std::nullopt)) return std::string(bytes);
  return Cp932ToUtf8(bytes);
}

}  // namespace bolta

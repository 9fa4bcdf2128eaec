#pragma once
// The one place where text changes encoding: code page 932 inside, UTF-8 where GTK and WebKit
// need it.
#include <optional>
#include <string>
#include <string_view>

namespace bolta {

// Code page 932 bytes as UTF-8; a byte sequence that is no CP932 character becomes U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);

// UTF-8 text as code page 932 bytes; nothing when some character has no CP932 form (or the
// text is no valid UTF-8).
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// A board title as it came from SETTING.TXT, for display: UTF-8 as it stands when the bytes are
// valid UTF-8 and not plain ASCII (some boards serve UTF-8), else decoded as CP932.
std::string BoardTextToUtf8(std::string_view bytes);

}  // namespace bolta

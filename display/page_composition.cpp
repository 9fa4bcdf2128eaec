#include "display/page_composition.h"

#include <string_view>

#include "res/texts.h"

namespace bolta {
namespace {

// The picture addresses come from a remote SETTING.TXT and stand inside double-quoted
// attributes: escaped, they cannot end the attribute and add markup or script of that server's
// choosing, while the browser decodes the references back to the same address. None of the four
// bytes can be the trail byte of a code page 932 character, so bytewise replacement is safe.
std::string EscapeAttribute(std::string_view value) {
  std::string escaped;
  escaped.reserve(value.size());
  for (char c : value) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

}  // namespace

std::string ComposeSignboardPage(const std::string& backgroundPictureUrl,
                                 const std::string& titlePictureUrl) {
  std::string page(text::kSignboardPageHead);
  page += EscapeAttribute(backgroundPictureUrl);
  page += text::kSignboardPageJoint;
  page += EscapeAttribute(titlePictureUrl);
  page += text::kSignboardPageTail;
  return page;
}

// The message is one of our own texts, whose "<br>" must keep breaking the line: not escaped.
std::string ComposeMessagePage(const std::string& message) {
  std::string page(text::kMessagePageHead);
  page += message;
  page += text::kMessagePageTail;
  return page;
}

}  // namespace bolta

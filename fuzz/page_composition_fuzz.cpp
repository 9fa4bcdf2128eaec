// The signboard page from picture addresses a server chose: as much markup as from harmless
// addresses, in CP932 and in the UTF-8 the browser is given.
#include "display/page_composition.h"
#include "fuzz/check.h"
#include "res/encoding.h"

using namespace bolta;
using bolta::fuzz::Check;
using bolta::fuzz::Count;

namespace {

void CheckSameMarkup(const std::string& page, const std::string& harmless, const char* what) {
  for (char c : {'<', '>', '"'}) Check(Count(page, c) == Count(harmless, c), what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The background address up to the first NUL, the title picture's after it.
  const std::string_view input = fuzz::Bytes(data, size);
  const size_t cut = std::min(input.find('\0'), input.size());
  const std::string background(input.substr(0, cut));
  const std::string title(input.substr(std::min(cut + 1, input.size())));

  const std::string page = ComposeSignboardPage(background, title);
  const std::string harmless = ComposeSignboardPage("http://host1/ba.gif", "http://host1/t.png");
  CheckSameMarkup(page, harmless, "no <, > or \" of the addresses reaches the page");
  CheckSameMarkup(Cp932ToUtf8(page), Cp932ToUtf8(harmless),
                  "nor the page the browser gets in UTF-8");
  return 0;
}

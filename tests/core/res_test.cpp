#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "res/encoding.h"
#include "res/texts.h"

using namespace bolta;

// A bad byte of a title shows as such; text going back to CP932 must not change silently.
TEST(Encoding, bad_bytes_become_replacement_characters_and_no_cp932_form_is_refused) {
  EXPECT_EQ(BoardTextToUtf8("\x87\x40\xa0z\x81"), "①\uFFFDz\uFFFD");  // ① is Windows' own
  EXPECT_EQ(Utf8ToCp932("proxy😀"), std::nullopt);
}

// clang-format off
#define TEXT(name) {#name, text::name}
const std::map<std::string, std::string_view> kTexts = {
    TEXT(kAppTitle), TEXT(kTemplateWindowTitle), TEXT(kUntitledDocument), TEXT(kMsgInvalidArgument),
    TEXT(kMsgFetchFailed), TEXT(kMsgParseFailed), TEXT(kTitleLoadingPicture),
    TEXT(kTitleMessagePage), TEXT(kSignboardPageHead), TEXT(kSignboardPageJoint),
    TEXT(kSignboardPageTail), TEXT(kMessagePageHead), TEXT(kMessagePageTail), TEXT(kTrayTooltip),
    TEXT(kMenuRestore), TEXT(kMenuMove), TEXT(kMenuSize), TEXT(kMenuCenterWindow),
    TEXT(kMenuMinimize), TEXT(kMenuMaximize), TEXT(kMenuTopmost), TEXT(kMenuTransparency),
    TEXT(kMenuProxySettings), TEXT(kMenuClose), TEXT(kDlgProxyCaption), TEXT(kDlgOk),
    TEXT(kDlgCancel), TEXT(kDlgUseProxy), TEXT(kDlgProxyAddress), TEXT(kDlgProxyPort),
    TEXT(kDlgFontFace), TEXT(kMsgTextHasNoCp932Form), TEXT(kMsgTextHasLineBreak),
    TEXT(kMsgTextTooLong), TEXT(kErrCreateDocumentFailed), TEXT(kErrInternalApplication),
    TEXT(kDocTemplateString)};
// clang-format on

// Each text of the header stands as UTF-8 in the comment above it; its bytes must decode to
// exactly that, so a look-alike (an ASCII space for U+3000, a full-width ノ for the half-width ﾉ,
// three full stops for …) fails. A text added to the header and not to the list above fails too.
TEST(Texts, every_text_has_its_wording_and_the_exact_bytes) {
  std::ifstream header(BOLTA_FIXTURES_DIR "/../../res/texts.h");  // the source, not a copy
  std::string line, wording;
  std::size_t checked = 0;
  while (std::getline(header, line)) {
    if (line.starts_with("// ") && line.ends_with('"')) {
      wording = line.substr(line.find('"') + 1, line.size() - line.find('"') - 2);
      for (std::size_t at; (at = wording.find("\\n")) != wording.npos;)
        wording.replace(at, 2, "\n");
    } else if (const auto at = line.find("std::string_view k"); at != line.npos) {
      const std::string name = line.substr(at + 17, line.find(' ', at + 17) - at - 17);
      EXPECT_EQ(Cp932ToUtf8(kTexts.at(name)), wording) << name;
      EXPECT_EQ(Utf8ToCp932(wording), std::string(kTexts.at(name))) << name;
      ++checked;
    }
  }
  EXPECT_EQ(checked, kTexts.size());
}

#include "display/page_composition.h"

#include <gtest/gtest.h>

#include "res/texts.h"

using namespace bolta;

// The fixed pieces' own bytes are checked with the other texts.
TEST(ComposeSignboardPage, escapes_only_the_four_markup_characters_of_either_address) {
  const std::string head(text::kSignboardPageHead), joint(text::kSignboardPageJoint),
      tail(text::kSignboardPageTail), plain = "http://h/p.gif";
  // clang-format off
  const char* rows[][3] = {
      {"attribute, markup and script", "./a\" onerror=\"x\"><b>", "./a&quot; onerror=&quot;x&quot;&gt;&lt;b&gt;"},
      {"query ampersand", "http://h/a.cgi?x=1&y=2", "http://h/a.cgi?x=1&amp;y=2"}};
  // clang-format on
  for (const auto& [name, url, inserted] : rows) {
    EXPECT_EQ(ComposeSignboardPage(url, plain), head + inserted + joint + plain + tail) << name;
    EXPECT_EQ(ComposeSignboardPage(plain, url), head + plain + joint + inserted + tail) << name;
  }
}

// The messages are our own texts: their "<br>" must still break the line.
TEST(ComposeMessagePage, inserts_the_message_as_it_stands) {
  const std::string message(text::kMsgFetchFailed), page = ComposeMessagePage(message);
  EXPECT_EQ(page,
            std::string(text::kMessagePageHead) + message + std::string(text::kMessagePageTail));
}

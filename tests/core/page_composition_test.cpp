#include "display/page_composition.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "res/texts.h"

namespace bolta {
namespace {

TEST(ComposeSignboardPage, plain_addresses_give_the_literal_page) {
  EXPECT_EQ(ComposeSignboardPage("http://host1/ba.gif", "http://host1/php.gif"),
            "about:<html><head><style type=\"text/css\"><!-- body { overflow:hidden; margin:0px } "
            "--></style></head><body Background=\"http://host1/ba.gif\"><img "
            "src=\"http://host1/php.gif\"></body></html>");
}

TEST(ComposeSignboardPage, empty_addresses_give_the_fixed_pieces_alone) {
  const std::string page = ComposeSignboardPage("", "");
  EXPECT_EQ(page.size(), 147u);
  EXPECT_TRUE(page.ends_with("Background=\"\"><img src=\"\"></body></html>"));
}

struct EscapeCase {
  const char* name;
  std::string url;
  std::string inserted;
};
void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.name; }

class SignboardAddressEscapeTest : public testing::TestWithParam<EscapeCase> {};

// Both attributes get the same treatment; each is checked with a plain address in the other.
TEST_P(SignboardAddressEscapeTest, address_cannot_leave_its_attribute) {
  const std::string plain = "http://host1/p.gif";
  const std::string head(text::kSignboardPageHead), joint(text::kSignboardPageJoint),
      tail(text::kSignboardPageTail);
  EXPECT_EQ(ComposeSignboardPage(GetParam().url, plain),
            head + GetParam().inserted + joint + plain + tail);
  EXPECT_EQ(ComposeSignboardPage(plain, GetParam().url),
            head + plain + joint + GetParam().inserted + tail);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, SignboardAddressEscapeTest,
    testing::Values(
        EscapeCase{"event_handler_injection", "./a.gif\" onerror=\"alert(1)",
                   "./a.gif&quot; onerror=&quot;alert(1)"},
        EscapeCase{"query_ampersand", "http://h/a.cgi?x=1&y=2", "http://h/a.cgi?x=1&amp;y=2"},
        EscapeCase{"markup", "http://h/\"><script>x</script>",
                   "http://h/&quot;&gt;&lt;script&gt;x&lt;/script&gt;"},
        EscapeCase{"already_escaped_text_is_escaped_again", "a&amp;b", "a&amp;amp;b"},
        EscapeCase{"single_quote_kept", "http://h/it's.gif", "http://h/it's.gif"},
        EscapeCase{"cp932_bytes_kept", "http://h/\x95\\\x83\\.gif", "http://h/\x95\\\x83\\.gif"}),
    [](const testing::TestParamInfo<EscapeCase>& info) { return std::string(info.param.name); });

TEST(ComposeMessagePage, message_is_inserted_as_it_stands) {
  EXPECT_EQ(ComposeMessagePage(std::string(text::kMsgFetchFailed)),
            std::string(text::kMessagePageHead) +
                "SETTING.TXT\x82\xcc<br>\x8e\xe6\x93\xbe\x8e\xb8\x94s\x81\x63" +
                std::string(text::kMessagePageTail));
}

}  // namespace
}  // namespace bolta

// The signboard view through the recording window layer: the park, the fit, F5, and a page that
// keeps the user waiting; the pages it shows.
#include "display/bolta_view.h"

#include <gtest/gtest.h>

#include "display/page_composition.h"
#include "res/texts.h"
#include "util/window_fixture.h"

namespace bolta {
namespace {

TEST_F(WindowTest, page_fits_parked_then_f5_parks_once_and_refits_at_a_complete_tick) {
  view.ShowSignboardPage();
  view.OnDocumentComplete("about:blank");
  // body 200 x 60 + decoration room 8 x 30 + margin 4
  EXPECT_EQ(
      layer.calls,
      (Calls{"SetWindowText " + std::string(text::kTitleLoadingPicture), "Park", kPark, "Navigate2",
             "SetTimer 1 100", "MoveWindow 10099,10049 212x94", "MoveWindow 100,50 212x94",
             "Unpark", "DeleteTrayIcon", "SetWindowText " + kTitle, "KillTimer 1"}));
  layer.calls.clear();
  EXPECT_TRUE(view.PreTranslateMessage(Msg{WM_KEYDOWN, VK_F5}));
  EXPECT_TRUE(view.PreTranslateMessage(Msg{WM_KEYDOWN, VK_F5}));  // before the fit: no park
  layer.readyState = READYSTATE_INTERACTIVE;
  view.OnTimer(1);
  layer.readyState = READYSTATE_COMPLETE;
  layer.document = HtmlDocument{Size{300, 80}};
  view.OnTimer(1);
  EXPECT_EQ(layer.calls,
            (Calls{"Park", kPark, "Refresh", "SetTimer 1 100", "Refresh", "SetTimer 1 100",
                   "MoveWindow 10099,10049 312x114", "MoveWindow 100,50 312x114", "Unpark",
                   "SetWindowText " + kTitle, "KillTimer 1"}));
  // The next F5 parks again; a fit that finds no body brings the frame back as it was.
  view.PreTranslateMessage(Msg{WM_KEYDOWN, VK_F5});
  layer.document = HtmlDocument{};
  view.OnTimer(1);
  EXPECT_EQ(layer.windowRect, (Rect{100, 50, 412, 164}));
  // A message page is captioned with its own title, never the board's.
  view.ShowMessagePage("message");
  view.OnDocumentComplete("about:blank");
  EXPECT_EQ(document.GetTitle(), text::kTitleMessagePage);
}

TEST_F(WindowTest, a_page_still_loading_after_two_seconds_is_shown_captioned_then_fitted_in_place) {
  view.ShowSignboardPage();
  layer.readyState = READYSTATE_LOADING;
  for (int tick = 1; tick < 20; ++tick) view.OnTimer(1);
  EXPECT_EQ(layer.calls.back(), "SetTimer 1 100") << "the first 1.9 s keep the frame parked";
  layer.calls.clear();
  view.OnTimer(1);
  // As wide as "画像読込中…" needs (12 bytes), a line of the page tall, where the frame was.
  EXPECT_EQ(layer.calls, (Calls{"MoveWindow 100,50 220x62", "Unpark", "DeleteTrayIcon"}));
  layer.calls.clear();
  layer.readyState = READYSTATE_COMPLETE;
  view.OnDocumentComplete("about:blank");
  EXPECT_EQ(layer.calls,
            (Calls{"MoveWindow 100,50 212x94", "SetWindowText " + kTitle, "KillTimer 1"}));
}

TEST_F(WindowTest, a_missing_picture_leaves_the_frame_as_wide_as_its_caption_up_to_the_work_area) {
  for (const auto& [title, width] : {std::pair{kTitle, 180}, {std::string(200, 'x'), 1024}}) {
    view.info.title = title;
    view.ShowSignboardPage();
    layer.document = HtmlDocument{Size{20, 20}, true};
    view.OnDocumentComplete("about:blank");
    EXPECT_EQ(layer.windowRect.Width(), width) << title;
  }
}

TEST_F(WindowTest, left_press_drags_other_keys_are_swallowed_and_alt_keys_pass) {
  EXPECT_TRUE(view.PreTranslateMessage(Msg{WM_KEYDOWN, 'N'})) << "any other key is swallowed";
  EXPECT_FALSE(view.PreTranslateMessage(Msg{WM_SYSKEYDOWN, VK_F5})) << "keys with Alt pass";
  EXPECT_EQ(layer.calls, Calls{}) << "neither reloads";
  EXPECT_TRUE(view.PreTranslateMessage(Msg{WM_LBUTTONDOWN}));
  EXPECT_EQ(layer.calls, Calls{"BeginMoveDrag"}) << "left press drags the frame";
}

// The fixed pieces' own bytes are checked with the other texts.
TEST(ComposePage, escapes_the_four_markup_characters_of_either_address_and_no_message) {
  const std::string head(text::kSignboardPageHead), joint(text::kSignboardPageJoint),
      tail(text::kSignboardPageTail), plain = "http://h/p.gif?x=1;y='2'";
  const std::string url = "./a\" onerror=\"x\"><b>&",
                    inserted = "./a&quot; onerror=&quot;x&quot;&gt;&lt;b&gt;&amp;";
  EXPECT_EQ(ComposeSignboardPage(url, plain), head + inserted + joint + plain + tail);
  EXPECT_EQ(ComposeSignboardPage(plain, url), head + plain + joint + inserted + tail);
  // The messages are our own texts: their "<br>" must still break the line.
  const std::string message(text::kMsgFetchFailed);
  EXPECT_EQ(ComposeMessagePage(message),
            std::string(text::kMessagePageHead) + message + std::string(text::kMessagePageTail));
}

}  // namespace
}  // namespace bolta

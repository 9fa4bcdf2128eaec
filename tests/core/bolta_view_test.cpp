#include "display/bolta_view.h"

#include <gtest/gtest.h>

#include "app/bolta_doc.h"
#include "app/settings_store.h"
#include "display/page_composition.h"
#include "mainwnd/main_frame.h"
#include "mock/fake_window_layer.h"
#include "mock/scripted_internet.h"
#include "mock/scripted_proxy_dialog.h"
#include "mock/temp_settings_file.h"
#include "res/texts.h"

namespace bolta {
namespace {

using Calls = std::vector<std::string>;

const std::string kLoading(text::kTitleLoadingPicture);
const std::string kMessageTitle(text::kTitleMessagePage);
const std::string kBoardTitle = "\x83j\x83\x85\x81[\x83X";  // a board title in CP932

Msg KeyDown(uint32_t key) { return Msg{WM_KEYDOWN, key, 0}; }

class BoltaViewTest : public testing::Test {
 protected:
  BoltaViewTest() {
    document.SetFrame(&frame);
    frame.SetActiveDocument(&document);
    view.info.backgroundPictureUrl = "http://example.test/bg.png";
    view.info.titlePictureUrl = "http://example.test/title.png";
    view.info.title = kBoardTitle;
  }

  // The frame shown at its place, fitted, nothing recorded yet.
  void ShowSignboard() {
    view.ShowSignboardPage();
    view.OnDocumentComplete("about:blank");
    layer.calls.clear();
  }

  TempSettingsFile file;
  SettingsStore settings{file.path()};
  FakeWindowLayer layer;
  ScriptedProxyDialog proxyDialog;
  CMainFrame frame{layer, settings, proxyDialog};
  CBoltaDoc document;
  ScriptedInternet internet{InternetScript{}};
  CBoltaView view = MakeView({"bolta"});

  CBoltaView MakeView(std::vector<std::string> args) {
    return CBoltaView({layer, layer, frame, document, settings, internet}, std::move(args));
  }
  CBoltaView MakeView(std::vector<std::string> args, InternetOpener& scripted) {
    return CBoltaView({layer, layer, frame, document, settings, scripted}, std::move(args));
  }
};

TEST_F(BoltaViewTest, signboard_page_parks_navigates_removes_the_icon_and_captions_loading) {
  layer.trayIcon = true;
  view.ShowSignboardPage();
  EXPECT_EQ(layer.calls, (Calls{"SetWindowText " + kLoading, "MoveWindow 10099,10049 100x10",
                                "Navigate2", "DeleteTrayIcon"}));
  EXPECT_EQ(layer.page,
            ComposeSignboardPage(view.info.backgroundPictureUrl, view.info.titlePictureUrl));
  EXPECT_FALSE(layer.trayIcon);
}

TEST_F(BoltaViewTest, fit_sizes_the_frame_to_the_body_where_parked_then_brings_it_back) {
  view.ShowSignboardPage();
  layer.calls.clear();
  view.OnDocumentComplete("ignored");
  // body 200 x 60, room 8 x 30, margin 4
  EXPECT_EQ(layer.calls, (Calls{"MoveWindow 10099,10049 212x94", "MoveWindow 100,50 212x94",
                                "SetWindowText " + kBoardTitle}));
  EXPECT_EQ(layer.windowRect, (Rect{100, 50, 312, 144}));
  EXPECT_EQ(layer.caption, kBoardTitle);
}

TEST_F(BoltaViewTest, message_page_is_captioned_by_the_fit_not_before) {
  view.ShowMessagePage(std::string(text::kMsgFetchFailed));
  EXPECT_EQ(layer.calls, (Calls{"MoveWindow 10099,10049 100x10", "Navigate2", "DeleteTrayIcon"}));
  EXPECT_EQ(layer.page, ComposeMessagePage(std::string(text::kMsgFetchFailed)));
  view.OnDocumentComplete("about:blank");
  EXPECT_EQ(layer.caption, kMessageTitle);
  EXPECT_EQ(view.info.title, kMessageTitle);
}

TEST_F(BoltaViewTest, start_without_an_argument_shows_the_invalid_argument_page) {
  view.OnInitialUpdate();
  EXPECT_EQ(layer.page, ComposeMessagePage(std::string(text::kMsgInvalidArgument)));
  view.OnDocumentComplete("about:blank");
  EXPECT_EQ(layer.caption, kMessageTitle);
}

const char* const kThread = "http://host.test/test/read.cgi/board/1234567890/";

TEST_F(BoltaViewTest, start_with_an_address_shows_the_fetched_signboard_captioned_by_its_title) {
  ScriptedInternet scripted({{"BBS_TITLE=" + kBoardTitle, "BBS_TITLE_PICTURE=./t.png",
                              "BBS_BG_PICTURE=http://pictures.test/bg.png"},
                             ""});
  CBoltaView started = MakeView({"bolta", kThread, "http://ignored.test/a/b/c/d/"}, scripted);
  layer.trayIcon = true;
  started.OnInitialUpdate();
  EXPECT_EQ(started.address.host, "host.test");
  EXPECT_EQ(started.address.board, "board");
  EXPECT_EQ(layer.page,
            ComposeSignboardPage("http://pictures.test/bg.png", "http://host.test/board/t.png"));
  EXPECT_EQ(layer.caption, kLoading);
  EXPECT_FALSE(layer.trayIcon);
  started.OnDocumentComplete("about:blank");
  EXPECT_EQ(layer.caption, kBoardTitle);
}

TEST_F(BoltaViewTest, failed_fetch_shows_its_message_page_captioned_as_a_message) {
  ScriptedInternet scripted({{}, "SendRequest"});
  CBoltaView started = MakeView({"bolta", kThread}, scripted);
  started.OnInitialUpdate();
  EXPECT_EQ(layer.page, ComposeMessagePage(std::string(text::kMsgFetchFailed)));
  started.OnDocumentComplete("about:blank");
  EXPECT_EQ(layer.caption, kMessageTitle);
}

TEST_F(BoltaViewTest, no_internet_session_leaves_the_frame_unparked_and_the_icon_up) {
  ScriptedInternet scripted({{}, "Open"});
  CBoltaView started = MakeView({"bolta", kThread}, scripted);
  layer.trayIcon = true;
  EXPECT_THROW(started.OnInitialUpdate(), InternetException);
  EXPECT_TRUE(layer.calls.empty());
  EXPECT_TRUE(layer.trayIcon);
}

TEST_F(BoltaViewTest, key_and_mouse_decisions) {
  struct Case {
    const char* name;
    Msg msg;
    bool consumed;
    Calls calls;
  };
  const std::vector<Case> cases = {
      {"left button drags the frame", {WM_LBUTTONDOWN, 0, 0x00100010}, true, {"BeginMoveDrag"}},
      {"F5 (with or without Shift or Ctrl) parks, reloads and starts the timer",
       KeyDown(VK_F5),
       true,
       {"MoveWindow 10099,10049 100x10", "Refresh", "SetTimer 1 100"}},
      {"any other key is swallowed", KeyDown('A'), true, {}},
      {"Ctrl+N is swallowed too", KeyDown('N'), true, {}},
      {"keys with Alt pass", {WM_SYSKEYDOWN, ' ', 0}, false, {}},
      {"F5 with Alt passes", {WM_SYSKEYDOWN, VK_F5, 0}, false, {}},
      {"key releases pass", {WM_KEYUP, VK_F5, 0}, false, {}},
      {"characters pass", {WM_CHAR, 'a', 0}, false, {}},
      {"right button passes", {WM_RBUTTONDOWN, 0, 0}, false, {}},
      {"left button release passes", {WM_LBUTTONUP, 0, 0}, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWindowLayer fresh;
    CMainFrame otherFrame(fresh, settings, proxyDialog);
    CBoltaView otherView({fresh, fresh, otherFrame, document, settings, internet}, {"bolta"});
    EXPECT_EQ(otherView.PreTranslateMessage(c.msg), c.consumed);
    EXPECT_EQ(fresh.calls, c.calls);
  }
}

TEST_F(BoltaViewTest, refresh_fits_at_the_first_complete_tick_then_stops_the_timer) {
  ShowSignboard();
  ASSERT_TRUE(view.PreTranslateMessage(KeyDown(VK_F5)));
  layer.calls.clear();
  layer.readyState = READYSTATE_INTERACTIVE;
  view.OnTimer(1);
  view.OnTimer(1);
  EXPECT_TRUE(layer.calls.empty());
  EXPECT_EQ(layer.windowRect.left, 10099);

  layer.readyState = READYSTATE_COMPLETE;
  layer.document = HtmlDocument{Size{300, 80}};
  view.OnTimer(1);
  EXPECT_EQ(layer.calls, (Calls{"MoveWindow 10099,10049 312x114", "MoveWindow 100,50 312x114",
                                "SetWindowText " + kBoardTitle, "KillTimer 1"}));
}

TEST_F(BoltaViewTest, f5_again_before_the_fit_does_not_park_twice) {
  ShowSignboard();
  view.PreTranslateMessage(KeyDown(VK_F5));
  view.PreTranslateMessage(KeyDown(VK_F5));
  view.PreTranslateMessage(KeyDown(VK_F5));
  EXPECT_EQ(layer.calls, (Calls{"MoveWindow 10099,10049 100x10", "Refresh", "SetTimer 1 100",
                                "Refresh", "SetTimer 1 100", "Refresh", "SetTimer 1 100"}));
  view.OnTimer(1);
  EXPECT_EQ(layer.windowRect, (Rect{100, 50, 312, 144}));

  // and the pairing holds for the next refresh as well
  view.PreTranslateMessage(KeyDown(VK_F5));
  view.OnTimer(1);
  EXPECT_EQ(layer.windowRect, (Rect{100, 50, 312, 144}));
}

TEST_F(BoltaViewTest, a_fit_with_nothing_to_measure_comes_back_at_the_size_it_had) {
  struct Case {
    const char* name;
    std::optional<HtmlDocument> document;
  };
  for (const Case& c : {Case{"no document", std::nullopt}, Case{"no body", HtmlDocument{}}}) {
    SCOPED_TRACE(c.name);
    layer.windowRect = {100, 50, 312, 144};
    layer.calls.clear();
    view.PreTranslateMessage(KeyDown(VK_F5));
    layer.document = c.document;
    view.OnTimer(1);
    EXPECT_EQ(layer.windowRect, (Rect{100, 50, 312, 144}));
    EXPECT_EQ(layer.caption, kBoardTitle);
  }
}

TEST_F(BoltaViewTest, a_fit_without_a_park_resizes_in_place) {
  ShowSignboard();
  layer.document = HtmlDocument{Size{100, 20}};
  view.OnDocumentComplete("about:blank");
  EXPECT_EQ(layer.calls, (Calls{"MoveWindow 100,50 112x54", "SetWindowText " + kBoardTitle}));
}

TEST_F(BoltaViewTest, closing_while_refreshing_stores_the_place_before_the_park) {
  ShowSignboard();
  view.PreTranslateMessage(KeyDown(VK_F5));
  frame.OnDestroy();
  EXPECT_EQ(settings.GetProfileInt(kSettingsSection, "WINDOW_LEFT", 0), 100);
  EXPECT_EQ(settings.GetProfileInt(kSettingsSection, "WINDOW_TOP", 0), 50);
  EXPECT_EQ(settings.GetProfileInt(kSettingsSection, "WINDOW_RIGHT", 0), 312);
  EXPECT_EQ(settings.GetProfileInt(kSettingsSection, "WINDOW_BOTTOM", 0), 144);
}

}  // namespace
}  // namespace bolta

// The main frame and the signboard view through the recording window layer, and the centre rule.
#include "mainwnd/main_frame.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/bolta_doc.h"
#include "app/settings_store.h"
#include "display/bolta_view.h"
#include "display/page_input.h"
#include "mainwnd/center_rule.h"
#include "mainwnd/menu_label.h"
#include "mock/fake_window_layer.h"
#include "mock/scripted_internet.h"
#include "mock/scripted_proxy_dialog.h"
#include "mock/temp_settings.h"
#include "res/encoding.h"
#include "res/resource.h"
#include "res/texts.h"

namespace bolta {
namespace {

using Calls = std::vector<std::string>;
using Stored = std::vector<std::pair<std::string, int32_t>>;
const Calls kFirstStart = {"EnableLayeredStyle", "SetWindowAlpha 0 255 2", "SetTopmost on",
                           "AddTrayIcon 128"};
const std::string kTitle = "\x83j\x83\x85\x81[\x83X";  // a board title in CP932
constexpr uint32_t kF5 = 0xFFC2;                       // the X keysym
const std::string kPark = "MoveWindow 10099,10049 100x10";

// "id text mark" per entry, "----" for a separator.
Calls Entries(const std::vector<MenuItem>& items) {
  Calls entries;
  for (const MenuItem& item : items) {
    const char* const marks[] = {"", " check", " radio"};
    entries.push_back(item.kind == MenuItem::Kind::Separator
                          ? "----"
                          : std::to_string(item.id) + " " + Cp932ToUtf8(item.text) +
                                marks[static_cast<int>(item.mark)]);
  }
  return entries;
}

class WindowTest : public testing::Test {
 protected:
  WindowTest() {
    document.SetFrame(&frame);
    frame.SetActiveDocument(&document);
    view.info = {"http://example.test/bg.png", "http://example.test/title.png", kTitle};
  }
  void Write(const Stored& stored) {
    for (const auto& [key, value] : stored) settings.WriteProfileInt(kSettingsSection, key, value);
  }
  // The settings file as "KEY=value", in its order.
  Calls Saved() {
    Calls saved;
    for (const std::string& key : file.Keys()) {
      saved.push_back(key + "=" + settings.GetProfileString(kSettingsSection, key));
    }
    return saved;
  }

  TempSettings file;
  SettingsStore settings{file.path()};
  FakeWindowLayer layer;
  ScriptedProxyDialog proxyDialog;  // cancelled at once
  CMainFrame frame{layer, settings, proxyDialog};
  CBoltaDoc document;
  ScriptedInternet internet{InternetScript{}};
  CBoltaView view{{layer, layer, frame, document, settings, internet}, {"bolta"}};
};

TEST_F(WindowTest, creation_places_then_applies_transparency_then_on_top_then_shows_the_icon) {
  const Stored place = {{"WINDOW_LEFT", -40},   {"WINDOW_TOP", 20},    {"WINDOW_RIGHT", 260},
                        {"WINDOW_BOTTOM", 120}, {"WINDOW_TOPMOST", 0}, {"TRANSPARENT", 3}};
  const Calls placed = {"MoveWindow -40,20 200x0 norepaint", "EnableLayeredStyle",
                        "SetWindowAlpha 0 178 2", "SetTopmost off", "AddTrayIcon 128"};
  const Stored odd = {{"WINDOW_LEFT", 5}, {"WINDOW_RIGHT", 5}, {"TRANSPARENT", 10}};
  const struct {
    const char* name;
    Stored stored;
    Calls calls;
    int32_t markedStep;  // the id of the step with the radio mark
    bool onTop;
  } rows[] = {
      {"first start: in place, opaque, on top", {}, kFirstStart, 176, true},
      {"stored place, step 3, not on top", place, placed, 224, false},
      {"no width is no place; step 10 is step 0", odd, kFirstStart, 176, true},
      {"a negative step is step 0", {{"TRANSPARENT", -1}}, kFirstStart, 176, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(file.path());
    Write(row.stored);
    FakeWindowLayer fresh;
    CMainFrame created(fresh, settings, proxyDialog);
    created.OnCreate();
    EXPECT_EQ(fresh.calls, row.calls);
    EXPECT_TRUE(created.GetSystemMenu().IsChecked(row.markedStep));
    EXPECT_EQ(created.GetSystemMenu().IsChecked(IDM_TOPMOST), row.onTop);
  }
}

TEST_F(WindowTest, system_menu_has_its_entries_in_order_with_texts_ids_and_marks) {
  frame.OnCreate();
  const std::vector<MenuItem>& items = frame.GetSystemMenu().items();
  EXPECT_EQ(Entries(items), (Calls{"61456 移動(&M)", "352 画面中央へ移動(&R)", "61472 最小化(&N)",
                                   "----", "160 最前面に表示(&T) check", "0 透明度", "----",
                                   "336 プロキシの設定(&P)", "----", "61536 閉じる(&C)"}));
  EXPECT_EQ(Entries(items.at(5).popup),
            (Calls{"176  0% radio", "192 10%", "208 20%", "224 30%", "240 40%", "256 50%",
                   "272 60%", "288 70%", "304 80%", "320 90%"}));
  // GTK's labels: "&" marks become "_", literal ones stay.
  EXPECT_EQ(GtkMnemonicLabel("A&&B_C(&S)"), "A&B__C(_S)");
}

TEST(MainFrame, alpha_of_each_step_is_255_less_25_5_per_step_truncated) {
  std::vector<int> alphas;
  for (int32_t n = 0; n < 10; ++n) alphas.push_back(AlphaOfStep(n));
  EXPECT_EQ(alphas, (std::vector<int>{255, 229, 204, 178, 153, 127, 102, 76, 51, 25}));
}

TEST_F(WindowTest, commands_act_on_their_masked_id_and_a_chosen_step_is_stored_at_once) {
  Write({{"TRANSPARENT", 3}});
  frame.OnCreate();
  layer.calls.clear();
  frame.OnSysCommand(IDM_TOPMOST + 3, 0);  // the low bits are the platform's
  frame.OnSysCommand(256, 0);              // 50%
  frame.OnSysCommand(IDM_CENTER_WINDOW, 0);
  frame.OnSysCommand(SC_CLOSE + 2, 77);
  EXPECT_EQ(layer.calls,
            (Calls{"SetTopmost off", "SetWindowAlpha 0 127 2", "DefaultSysCommand 256 0",
                   "MoveWindow 412,355 200x31", "DefaultSysCommand 61538 77"}));
  EXPECT_FALSE(frame.GetSystemMenu().IsChecked(IDM_TOPMOST));
  EXPECT_TRUE(frame.GetSystemMenu().IsChecked(256));
  EXPECT_FALSE(frame.GetSystemMenu().IsChecked(224)) << "the stored step's mark is gone";
  frame.OnSysCommand(IDM_TOPMOST, 0);
  EXPECT_TRUE(layer.topmost && frame.GetSystemMenu().IsChecked(IDM_TOPMOST));
  frame.OnSysCommand(IDM_PROXY_SETTINGS, 0);  // the dialog, cancelled, writes the proxy keys back
  // The step is stored at once, not at the end.
  EXPECT_EQ(Saved(), (Calls{"TRANSPARENT=5", "PROXY_ADDRESS=", "PROXY_PORT=", "USE_PROXY=0"}));
}

TEST_F(WindowTest, destruction_stores_the_normal_rectangle_then_the_on_top_state) {
  frame.OnCreate();
  frame.OnSysCommand(IDM_TOPMOST, 0);
  layer.minimizedNormalRect = Rect{30, 40, 242, 134};
  frame.OnDestroy();
  EXPECT_EQ(Saved(), (Calls{"WINDOW_LEFT=30", "WINDOW_TOP=40", "WINDOW_RIGHT=242",
                            "WINDOW_BOTTOM=134", "WINDOW_TOPMOST=0"}));
  EXPECT_EQ(layer.calls.back(), "DeleteTrayIcon");
}

TEST_F(WindowTest, closing_while_parked_stores_the_place_before_the_park) {
  view.ShowSignboardPage();
  view.OnDocumentComplete("about:blank");  // fitted at 100,50 212 x 94
  view.PreTranslateMessage(KeyMessage(true, kF5, {}));
  frame.OnDestroy();
  EXPECT_EQ(Saved(), (Calls{"WINDOW_LEFT=100", "WINDOW_TOP=50", "WINDOW_RIGHT=312",
                            "WINDOW_BOTTOM=144", "WINDOW_TOPMOST=0"}));
}

TEST_F(WindowTest, page_fits_parked_then_f5_parks_once_and_refits_at_a_complete_tick) {
  view.ShowSignboardPage();
  view.OnDocumentComplete("about:blank");
  // body 200 x 60 + decoration room 8 x 30 + margin 4
  EXPECT_EQ(layer.calls, (Calls{"SetWindowText " + std::string(text::kTitleLoadingPicture), kPark,
                                "Navigate2", "DeleteTrayIcon", "MoveWindow 10099,10049 212x94",
                                "MoveWindow 100,50 212x94", "SetWindowText " + kTitle}));
  layer.calls.clear();
  EXPECT_TRUE(view.PreTranslateMessage(KeyMessage(true, kF5, {})));
  EXPECT_TRUE(view.PreTranslateMessage(KeyMessage(true, kF5, {})));  // before the fit: no park
  layer.readyState = READYSTATE_INTERACTIVE;
  view.OnTimer(1);
  layer.readyState = READYSTATE_COMPLETE;
  layer.document = HtmlDocument{Size{300, 80}};
  view.OnTimer(1);
  EXPECT_EQ(layer.calls, (Calls{kPark, "Refresh", "SetTimer 1 100", "Refresh", "SetTimer 1 100",
                                "MoveWindow 10099,10049 312x114", "MoveWindow 100,50 312x114",
                                "SetWindowText " + kTitle, "KillTimer 1"}));
  // The next F5 parks again; a fit that finds no body brings the frame back as it was.
  view.PreTranslateMessage(KeyMessage(true, kF5, {}));
  layer.document = HtmlDocument{};
  view.OnTimer(1);
  EXPECT_EQ(layer.windowRect, (Rect{100, 50, 412, 164}));
}

TEST_F(WindowTest, f5_and_left_press_act_other_keys_are_swallowed_alt_and_releases_pass) {
  const Calls refresh = {kPark, "Refresh", "SetTimer 1 100"};
  const struct {
    const char* name;
    Msg msg;
    bool consumed;
    Calls calls;
  } rows[] = {
      {"F5 parks, reloads and starts the timer", KeyMessage(true, kF5, {}), true, refresh},
      {"Shift+F5 as F5", KeyMessage(true, kF5, {true}), true, refresh},
      {"Ctrl+F5 as F5", KeyMessage(true, kF5, {false, true}), true, refresh},
      {"any other key is swallowed", KeyMessage(true, 'n', {false, true}), true, {}},
      {"keys with Alt pass", KeyMessage(true, kF5, {false, false, true}), false, {}},
      {"key releases pass", KeyMessage(false, kF5, {}), false, {}},
      {"left press drags the frame", *ButtonMessage(true, false, 1, 5, 7), true, {"BeginMoveDrag"}},
      {"left release passes", *ButtonMessage(false, false, 1, 5, 7), false, {}},
      {"right press passes", *ButtonMessage(true, false, 3, 5, 7), false, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FakeWindowLayer fresh;
    CMainFrame otherFrame(fresh, settings, proxyDialog);
    CBoltaView otherView({fresh, fresh, otherFrame, document, settings, internet}, {"bolta"});
    EXPECT_EQ(otherView.PreTranslateMessage(row.msg), row.consumed);
    EXPECT_EQ(fresh.calls, row.calls);
  }
}

TEST(CenterRule, centres_on_the_reference_then_keeps_the_window_in_the_area) {
  const Rect screen{0, 0, 1024, 768}, taskbar{0, 0, 1024, 728};
  const struct {
    const char* name;
    Size size;
    Rect reference, area, placed;
  } rows[] = {
      {"centred", {100, 50}, {100, 100, 500, 400}, screen, {250, 225, 350, 275}},
      {"odd halves toward zero", {101, 51}, {0, 0, 401, 301}, screen, {150, 125, 251, 176}},
      {"off the top left", {200, 100}, {-50, -40, 50, 0}, screen, {0, 0, 200, 100}},
      {"kept above a taskbar", {200, 200}, {900, 700, 1000, 740}, taskbar, {824, 528, 1024, 728}},
      {"larger: left and top win", {2000, 1000}, screen, screen, {0, 0, 2000, 1000}},
      {"negative", {101, 100}, {-1001, 0, -200, 600}, {-1280, 0, 0, 1024}, {-650, 250, -549, 350}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(CenterRect(row.size, row.reference, row.area), row.placed) << row.name;
  }
}

}  // namespace
}  // namespace bolta

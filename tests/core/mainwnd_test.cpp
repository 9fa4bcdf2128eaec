// The main frame through the recording window layer: creation, its system menu and commands,
// and what it stores when it goes; where it centres, and the proxy dialog's flow.
#include "mainwnd/main_frame.h"

#include <gtest/gtest.h>

#include "mainwnd/center_rule.h"
#include "mainwnd/proxy_settings_flow.h"

#include "res/encoding.h"
#include "util/window_fixture.h"

namespace bolta {
namespace {

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

TEST_F(WindowTest, creation_places_then_applies_transparency_then_on_top_then_shows_the_icon) {
  const Stored place = {{"WINDOW_LEFT", -40},   {"WINDOW_TOP", 20},    {"WINDOW_RIGHT", 260},
                        {"WINDOW_BOTTOM", 120}, {"WINDOW_TOPMOST", 0}, {"TRANSPARENT", 3}};
  const Calls placed = {"MoveWindow -40,20 200x0 norepaint", "EnableLayeredStyle",
                        "SetWindowAlpha 0 178 2", "SetTopmost off", "AddTrayIcon 128"};
  const Stored odd = {{"WINDOW_LEFT", 5}, {"WINDOW_RIGHT", 5}, {"TRANSPARENT", 10}};
  // what is stored, the calls, the step with the radio mark, on top
  const std::tuple<const char*, Stored, Calls, int32_t, bool> rows[] = {
      {"first start: in place, opaque, on top", {}, kFirstStart, 176, true},
      {"stored place, step 3, not on top", place, placed, 224, false},
      {"no width is no place; step 10 is step 0", odd, kFirstStart, 176, true},
      {"a negative step is step 0", {{"TRANSPARENT", -1}}, kFirstStart, 176, true},
  };
  for (const auto& [name, stored, calls, markedStep, onTop] : rows) {
    SCOPED_TRACE(name);
    std::filesystem::remove(file.path());
    Write(stored);
    FakeWindowLayer fresh;
    CMainFrame created(fresh, settings, proxyDialog);
    created.OnCreate();
    EXPECT_EQ(fresh.calls, calls);
    EXPECT_TRUE(created.GetSystemMenu().IsChecked(markedStep));
    EXPECT_EQ(created.GetSystemMenu().IsChecked(IDM_TOPMOST), onTop);
  }
}

TEST_F(WindowTest, system_menu_entries_commands_on_their_masked_id_and_what_they_store_when) {
  Write({{"TRANSPARENT", 3}});
  frame.OnCreate();
  const std::vector<MenuItem>& items = frame.GetSystemMenu().items();
  EXPECT_EQ(Entries(items), (Calls{"61456 移動(&M)", "352 画面中央へ移動(&R)", "61472 最小化(&N)",
                                   "----", "160 最前面に表示(&T) check", "0 透明度", "----",
                                   "336 プロキシの設定(&P)", "----", "61536 閉じる(&C)"}));
  EXPECT_EQ(Entries(items.at(5).popup),
            (Calls{"176  0%", "192 10%", "208 20%", "224 30% radio", "240 40%", "256 50%",
                   "272 60%", "288 70%", "304 80%", "320 90%"}));
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
  EXPECT_EQ(Saved().at(0), "TRANSPARENT=5") << "the step is stored at once, not at the end";
  // Destruction stores the normal rectangle, then the on-top state as it is now.
  frame.OnSysCommand(IDM_TOPMOST, 0);
  layer.minimizedNormalRect = Rect{30, 40, 242, 134};
  frame.OnDestroy();
  EXPECT_EQ(Saved(), (Calls{"TRANSPARENT=5", "PROXY_ADDRESS=", "PROXY_PORT=", "USE_PROXY=0",
                            "WINDOW_LEFT=30", "WINDOW_TOP=40", "WINDOW_RIGHT=242",
                            "WINDOW_BOTTOM=134", "WINDOW_TOPMOST=0"}));
  EXPECT_EQ(layer.calls.back(), "DeleteTrayIcon");
}

TEST_F(WindowTest,
       a_place_on_no_display_is_centred_at_the_fitted_size_and_the_park_keeps_centring) {
  Write({{"WINDOW_LEFT", -2000},
         {"WINDOW_TOP", -1500},
         {"WINDOW_RIGHT", -1700},
         {"WINDOW_BOTTOM", -1400}});
  frame.OnCreate();
  EXPECT_EQ(layer.windowRect, (Rect{412, 355, 612, 386})) << "centred before any fit";
  view.ShowSignboardPage();
  layer.readyState = READYSTATE_LOADING;
  for (int tick = 0; tick < 20; ++tick) view.OnTimer(1);
  EXPECT_EQ(layer.windowRect.left, 412) << "shown while loading, where it was centred";
  view.OnDocumentComplete("about:blank");  // fitted to 212 x 94, centred in 1024 x 740
  const Rect centred{406, 323, 618, 417};
  EXPECT_EQ(layer.windowRect, centred);
  layer.readyState = READYSTATE_COMPLETE;
  // Moved by the user, parked, centred while parked: that is where the frame belongs.
  layer.windowRect = Rect{100, 50, 312, 144};
  view.PreTranslateMessage(Msg{WM_KEYDOWN, VK_F5});
  frame.OnSysCommand(IDM_CENTER_WINDOW, 0);
  frame.OnDestroy();
  EXPECT_EQ(Saved(), (Calls{"WINDOW_LEFT=406", "WINDOW_TOP=323", "WINDOW_RIGHT=618",
                            "WINDOW_BOTTOM=417", "WINDOW_TOPMOST=1"}));
  view.OnTimer(1);
  EXPECT_EQ(layer.windowRect, centred) << "the fit brings the frame back there";
}

TEST_F(WindowTest, a_frame_centred_before_its_decorations_were_known_is_centred_again_once) {
  for (const bool onADisplay : {false, true}) {
    SCOPED_TRACE(onADisplay ? "restored on a display" : "restored on none");
    const int32_t left = onADisplay ? 30 : -2000;
    Write({{"WINDOW_LEFT", left},
           {"WINDOW_TOP", 40},
           {"WINDOW_RIGHT", left + 200},
           {"WINDOW_BOTTOM", 90}});
    layer.room = {0, 0};  // a window manager that tells the room only once it frames the window
    CMainFrame restored(layer, settings, proxyDialog);
    restored.OnCreate();
    restored.Fitted();  // 200 x 1 without decorations, 208 x 31 with them
    layer.room = {8, 30};
    layer.windowRect.right += 8, layer.windowRect.bottom += 30;
    restored.DecorationsKnown();
    EXPECT_EQ(layer.windowRect, (onADisplay ? Rect{30, 40, 238, 71} : Rect{408, 355, 616, 386}));
    layer.windowRect = {5, 5, 213, 66};  // moved by the user
    restored.DecorationsKnown();
    EXPECT_EQ(layer.windowRect, (Rect{5, 5, 213, 66}));
  }
}

TEST(CenterRule, centres_on_the_reference_then_keeps_the_window_in_the_area) {
  const Rect screen{0, 0, 1024, 768}, taskbar{0, 0, 1024, 728};
  // the size, the reference, the area, where it goes
  const std::tuple<const char*, Size, Rect, Rect, Rect> rows[] = {
      {"centred", {100, 50}, {100, 100, 500, 400}, screen, {250, 225, 350, 275}},
      {"odd halves toward zero", {101, 51}, {0, 0, 401, 301}, screen, {150, 125, 251, 176}},
      {"off the top left", {200, 100}, {-50, -40, 50, 0}, screen, {0, 0, 200, 100}},
      {"kept above a taskbar", {200, 150}, {900, 700, 1000, 740}, taskbar, {824, 578, 1024, 728}},
      {"larger: left and top win", {2000, 1000}, screen, screen, {0, 0, 2000, 1000}},
      {"negative", {101, 100}, {-1001, 0, -200, 600}, {-1280, 0, 0, 1024}, {-650, 250, -549, 350}},
  };
  for (const auto& [name, size, reference, area, placed] : rows) {
    EXPECT_EQ(CenterRect(size, reference, area), placed) << name;
  }
}

using Edit = std::function<void(ProxySettingsControls&)>;
const std::string kStored =
    "[BOLTA]\r\nUSE_PROXY=1\r\nPROXY_ADDRESS=proxy.example\r\nPROXY_PORT=8080\r\n";
// A file with the flag first and empty texts.
std::string Flag(const char* flag) {
  return "[BOLTA]\r\nUSE_PROXY=" + std::string(flag) + "\r\nPROXY_ADDRESS=\r\nPROXY_PORT=\r\n";
}
// A file the flow wrote from none: address, port, flag.
std::string New(const std::string& address, const char* port, const char* flag) {
  return "[BOLTA]\r\nPROXY_ADDRESS=" + address + "\r\nPROXY_PORT=" + port +
         "\r\nUSE_PROXY=" + flag + "\r\n";
}
// The user sets all three controls.
Edit Type(std::string address, std::string port, bool box) {
  return [=](ProxySettingsControls& c) { c = {address, port, box}; };
}

TEST(ProxySettingsFlow, writes_address_port_then_flag_as_the_dialog_leaves_them_however_it_closes) {
  const std::string tooLong(kMaxProfileStringBytes + 1, 'a');
  const std::string odd = "\xff\xed\x40";  // no character, and a character with two codes
  // the settings file before (empty: none), what the user does, OK, the file after
  const std::tuple<const char*, std::string, Edit, bool, std::string> rows[] = {
      {"a fresh install's cancel: empty, empty, 0", "", {}, false, New("", "", "0")},
      {"cancel writes back what was read", kStored, Type("other", "3128", false), false, kStored},
      {"cancel writes a flag above 2 as 0", Flag("7"), {}, false, Flag("0")},
      {"cancel writes a negative flag as 0", Flag("-1"), {}, false, Flag("0")},
      {"cancel keeps a flag of 2", Flag("2"), {}, false, Flag("2")},
      {"OK stores the box and the texts as typed", "", Type("p.test", " 80 a", true), true,
       New("p.test", " 80 a", "1")},
      {"OK on a flag of 2 left alone stores 1", Flag("2"), {}, true, Flag("1")},
      {"OK keeps an untouched field's bytes, even no character", New(odd, "", "0"),
       [](ProxySettingsControls& c) { c.port = "81"; }, true, New(odd, "81", "0")},
      {"OK stores edited Japanese in CP932", New("\x91\xe3\x97\x9d", "", "0"),
       [](ProxySettingsControls& c) { c.address += ".jp"; }, true,
       New("\x91\xe3\x97\x9d.jp", "", "0")},
      {"OK refused: a line break", kStored, Type("a", "80\n80", false), true, kStored},
      {"OK refused: a lone CR", kStored, Type("a\rb", "1", false), true, kStored},
      {"OK refused: the store would cut it", kStored, Type(tooLong, "1", false), true, kStored},
      {"OK stores the longest text", "", Type(tooLong.substr(1), "1", false), true,
       New(tooLong.substr(1), "1", "0")},
  };
  for (const auto& [name, before, edit, ok, after] : rows) {
    SCOPED_TRACE(name);
    TempSettings file;
    if (!before.empty()) std::ofstream(file.path(), std::ios::binary) << before;
    ScriptedProxyDialog dialog;
    dialog.edit = edit;
    dialog.pressOk = ok;
    RunProxySettingsCommand(file.store(), dialog);
    std::ifstream written(file.path(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), after);
  }
}

// The dialog puts the focus and its warning on the control the failure names.
TEST(ProxySettingsExchange, a_failure_names_the_first_control_whose_text_fails) {
  ProxySettingsData data;
  EXPECT_EQ(ExchangeOutOfDialog({"a", "8\n0", false}, data)->controlId, IDC_PROXY_PORT);
  EXPECT_EQ(ExchangeOutOfDialog({"\n", "8\n0", false}, data)->controlId, IDC_PROXY_ADDRESS);
}

}  // namespace
}  // namespace bolta

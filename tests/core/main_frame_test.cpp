#include "mainwnd/main_frame.h"

#include <gtest/gtest.h>

#include "app/bolta_doc.h"
#include "app/settings_store.h"
#include "mock/fake_window_layer.h"
#include "mock/scripted_proxy_dialog.h"
#include "mock/temp_settings_file.h"
#include "res/resource.h"
#include "res/texts.h"

namespace bolta {
namespace {

using Calls = std::vector<std::string>;

class MainFrameTest : public testing::Test {
 protected:
  void Store(std::string_view key, int32_t value) {
    settings.WriteProfileInt(kSettingsSection, key, value);
  }
  int32_t Stored(std::string_view key) {
    return settings.GetProfileInt(kSettingsSection, key, -12345);
  }
  // Creates the frame and forgets what creation did, for tests of what comes after.
  void Create() {
    frame.OnCreate();
    layer.calls.clear();
  }
  std::vector<MenuMark> StepMarks() const {
    std::vector<MenuMark> marks;
    for (const MenuItem& step : frame.GetSystemMenu().items().at(5).popup) {
      marks.push_back(step.mark);
    }
    return marks;
  }

  TempSettingsFile file;
  SettingsStore settings{file.path()};
  FakeWindowLayer layer;
  ScriptedProxyDialog proxyDialog;  // cancelled at once
  CMainFrame frame{layer, settings, proxyDialog};
};

TEST_F(MainFrameTest, system_menu_as_built) {
  frame.OnCreate();
  using K = MenuItem::Kind;
  struct Entry {
    K kind;
    int32_t id;
    std::string_view text;
    MenuMark mark;
  };
  const std::vector<Entry> expected = {
      {K::Command, SC_MOVE, text::kMenuMove, MenuMark::None},
      {K::Command, IDM_CENTER_WINDOW, text::kMenuCenterWindow, MenuMark::None},
      {K::Command, SC_MINIMIZE, text::kMenuMinimize, MenuMark::None},
      {K::Separator, 0, "", MenuMark::None},
      {K::Command, IDM_TOPMOST, text::kMenuTopmost, MenuMark::Check},
      {K::Popup, 0, text::kMenuTransparency, MenuMark::None},
      {K::Separator, 0, "", MenuMark::None},
      {K::Command, IDM_PROXY_SETTINGS, text::kMenuProxySettings, MenuMark::None},
      {K::Separator, 0, "", MenuMark::None},
      {K::Command, SC_CLOSE, text::kMenuClose, MenuMark::None},
  };
  const std::vector<MenuItem>& items = frame.GetSystemMenu().items();
  ASSERT_EQ(items.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("position " + std::to_string(i));
    EXPECT_EQ(items[i].kind, expected[i].kind);
    EXPECT_EQ(items[i].id, expected[i].id);
    EXPECT_EQ(items[i].text, expected[i].text);
    EXPECT_EQ(items[i].mark, expected[i].mark);
  }
  const std::vector<MenuItem>& steps = items[5].popup;
  ASSERT_EQ(steps.size(), 10u);
  for (size_t n = 0; n < steps.size(); ++n) {
    EXPECT_EQ(steps[n].id, static_cast<int32_t>(176 + 16 * n));
    EXPECT_EQ(steps[n].text, text::kAlphaLabels[n]);
    EXPECT_EQ(steps[n].mark, n == 0 ? MenuMark::Radio : MenuMark::None);
  }
}

TEST_F(MainFrameTest, first_start_stays_put_opaque_on_top_with_the_fetching_icon) {
  frame.OnCreate();
  EXPECT_EQ(layer.calls, (Calls{"EnableLayeredStyle", "SetWindowAlpha 0 255 2", "SetTopmost on",
                                "AddTrayIcon 128"}));
  EXPECT_EQ(layer.trayTooltip, text::kTrayTooltip);
}

TEST_F(MainFrameTest, creation_applies_stored_position_then_transparency_then_on_top_state) {
  Store("WINDOW_LEFT", -40);
  Store("WINDOW_TOP", 20);
  Store("WINDOW_RIGHT", 260);
  Store("WINDOW_BOTTOM", 120);
  Store("WINDOW_TOPMOST", 0);
  Store("TRANSPARENT", 3);
  frame.OnCreate();
  EXPECT_EQ(layer.calls, (Calls{"MoveWindow -40,20 200x0 norepaint", "EnableLayeredStyle",
                                "SetWindowAlpha 0 178 2", "SetTopmost off", "AddTrayIcon 128"}));
  EXPECT_FALSE(frame.GetSystemMenu().IsChecked(IDM_TOPMOST));
  EXPECT_TRUE(frame.GetSystemMenu().IsChecked(224));
}

TEST_F(MainFrameTest, an_empty_stored_rectangle_means_no_stored_position) {
  struct Case {
    const char* name;
    int32_t left, top, right, bottom;
  };
  for (const Case& c :
       {Case{"right equals left", 50, 50, 50, 90}, Case{"bottom equals top", 50, 50, 90, 50},
        Case{"right before left", 50, 50, 10, 90}}) {
    SCOPED_TRACE(c.name);
    Store("WINDOW_LEFT", c.left);
    Store("WINDOW_TOP", c.top);
    Store("WINDOW_RIGHT", c.right);
    Store("WINDOW_BOTTOM", c.bottom);
    FakeWindowLayer fresh;
    CMainFrame(fresh, settings, proxyDialog).OnCreate();
    EXPECT_EQ(fresh.calls.front(), "EnableLayeredStyle");
  }
}

TEST_F(MainFrameTest, alpha_of_each_step_is_truncated) {
  const std::vector<int> expected = {255, 229, 204, 178, 153, 127, 102, 76, 51, 25};
  for (int32_t n = 0; n < 10; ++n) EXPECT_EQ(AlphaOfStep(n), expected[static_cast<size_t>(n)]);
}

TEST_F(MainFrameTest, a_stored_step_outside_the_table_is_applied_and_marked_as_step_0) {
  for (int32_t stored : {10, -1, 1000}) {
    SCOPED_TRACE(stored);
    Store("TRANSPARENT", stored);
    FakeWindowLayer fresh;
    CMainFrame created(fresh, settings, proxyDialog);
    created.OnCreate();
    EXPECT_EQ(fresh.alpha, 255);
    EXPECT_TRUE(created.GetSystemMenu().IsChecked(IDM_ALPHA_FIRST));
  }
}

TEST_F(MainFrameTest, choosing_50_percent_marks_only_it_applies_127_and_stores_5_at_once) {
  Create();
  frame.OnSysCommand(256, 0);
  std::vector<MenuMark> onlyFifty(10, MenuMark::None);
  onlyFifty[5] = MenuMark::Radio;
  EXPECT_EQ(StepMarks(), onlyFifty);
  EXPECT_EQ(layer.calls, (Calls{"SetWindowAlpha 0 127 2", "DefaultSysCommand 256 0"}));
  EXPECT_EQ(Stored("TRANSPARENT"), 5);

  frame.OnSysCommand(256, 0);  // again: applied and stored again
  EXPECT_EQ(layer.calls.size(), 4u);
  EXPECT_EQ(Stored("TRANSPARENT"), 5);
}

TEST_F(MainFrameTest, on_top_toggles_and_low_bits_of_a_command_are_ignored) {
  Create();
  frame.OnSysCommand(163, 0);  // acts as 160
  EXPECT_FALSE(frame.GetSystemMenu().IsChecked(IDM_TOPMOST));
  EXPECT_FALSE(layer.topmost);
  frame.OnSysCommand(IDM_TOPMOST, 0);
  EXPECT_TRUE(frame.GetSystemMenu().IsChecked(IDM_TOPMOST));
  EXPECT_TRUE(layer.topmost);
  EXPECT_EQ(layer.calls, (Calls{"SetTopmost off", "SetTopmost on"}));
  EXPECT_EQ(Stored("WINDOW_TOPMOST"), -12345);  // stored only at destruction
}

TEST_F(MainFrameTest, platform_commands_go_to_the_default_handling_unmasked) {
  Create();
  frame.OnSysCommand(SC_CLOSE + 2, 77);
  frame.OnSysCommand(SC_MOVE, 0);
  EXPECT_EQ(layer.calls, (Calls{"DefaultSysCommand 61538 77", "DefaultSysCommand 61456 0"}));
}

TEST_F(MainFrameTest, proxy_command_runs_the_dialog_and_writes_the_proxy_keys) {
  Create();
  frame.OnSysCommand(IDM_PROXY_SETTINGS, 0);
  EXPECT_TRUE(proxyDialog.opened);
  EXPECT_TRUE(layer.calls.empty());
  EXPECT_EQ(file.Keys(), (Calls{"PROXY_ADDRESS", "PROXY_PORT", "USE_PROXY"}));
}

TEST_F(MainFrameTest, centre_command_centres_in_the_work_area_and_clamps) {
  struct Case {
    const char* name;
    Rect area;
    Rect frame;
    std::string expectedMove;
  };
  const std::vector<Case> cases = {
      {"fits: centred", {0, 0, 1024, 740}, {5, 5, 217, 99}, "MoveWindow 406,323 212x94"},
      {"odd sizes: integer halves",
       {0, 0, 1023, 739},
       {0, 0, 213, 95},
       "MoveWindow 405,322 213x95"},
      {"area not at the origin",
       {-1280, 40, 0, 1064},
       {0, 0, 200, 100},
       "MoveWindow -740,502 200x100"},
      {"wider and taller than the area: at its top left",
       {0, 0, 300, 200},
       {9, 9, 509, 409},
       "MoveWindow 0,0 500x400"},
      {"one wider than the area: the right edge decides",
       {0, 0, 100, 100},
       {0, 0, 101, 31},
       "MoveWindow -1,35 101x31"},
      {"on no display: onto the primary work area",
       {0, 0, 800, 600},
       {20099, 20049, 20199, 20059},
       "MoveWindow 350,295 100x10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    layer.calls.clear();
    layer.workArea = c.area;
    layer.windowRect = c.frame;
    frame.OnSysCommand(IDM_CENTER_WINDOW, 0);
    EXPECT_EQ(layer.calls, Calls{c.expectedMove});
  }
}

TEST_F(MainFrameTest, destruction_stores_the_normal_rectangle_then_the_on_top_state) {
  Create();
  frame.OnSysCommand(IDM_TOPMOST, 0);
  layer.calls.clear();
  layer.windowRect = {-3000, -3000, -2840, -2970};  // minimized somewhere
  layer.minimizedNormalRect = Rect{30, 40, 242, 134};
  frame.OnDestroy();
  EXPECT_EQ(file.Keys(), (Calls{"WINDOW_LEFT", "WINDOW_TOP", "WINDOW_RIGHT", "WINDOW_BOTTOM",
                                "WINDOW_TOPMOST"}));
  EXPECT_EQ(Stored("WINDOW_LEFT"), 30);
  EXPECT_EQ(Stored("WINDOW_TOP"), 40);
  EXPECT_EQ(Stored("WINDOW_RIGHT"), 242);
  EXPECT_EQ(Stored("WINDOW_BOTTOM"), 134);
  EXPECT_EQ(Stored("WINDOW_TOPMOST"), 0);
  EXPECT_EQ(layer.calls, Calls{"DeleteTrayIcon"});
}

TEST_F(MainFrameTest, the_next_start_comes_back_where_the_last_one_closed) {
  Create();
  layer.windowRect = {321, 123, 533, 217};
  frame.OnDestroy();

  FakeWindowLayer next;
  CMainFrame(next, settings, proxyDialog).OnCreate();
  EXPECT_EQ(next.calls.front(), "MoveWindow 321,123 200x0 norepaint");
  EXPECT_TRUE(next.topmost);
}

TEST_F(MainFrameTest, caption_is_the_document_title_alone_or_empty) {
  CBoltaDoc document;
  frame.OnUpdateFrameTitle(true);
  EXPECT_EQ(layer.caption, "");
  frame.SetActiveDocument(&document);
  frame.OnUpdateFrameTitle(true);
  EXPECT_EQ(layer.caption, text::kUntitledDocument);
  frame.OnUpdateFrameTitle(false);
  EXPECT_EQ(layer.caption, "");
}

}  // namespace
}  // namespace bolta

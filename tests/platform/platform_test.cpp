// The platform layer's own rules, without a display: keys and buttons as messages, menu labels,
// the frame's geometry, and where the frame is while the window manager answers.
#include <gtest/gtest.h>

#include "platform/frame_geometry.h"
#include "platform/frame_place.h"
#include "platform/menu_label.h"
#include "platform/page_input.h"

namespace bolta {
namespace {

constexpr uint32_t kKeysymF5 = 0xFFC2;
constexpr uint32_t kKeysymF10 = 0xFFC7;
constexpr FrameExtents kRoom{1, 1, 21, 4};  // openbox's

// Alt and F10 make system keys, Shift and Ctrl do not; small letters stand as capitals.
TEST(PageInput, keys_become_messages_for_the_view_or_open_the_system_menu) {
  const Modifiers shift{true}, ctrl{false, true}, alt{false, false, true};
  // pressed, the keysym and modifiers, the message and virtual key
  const std::tuple<const char*, bool, uint32_t, Modifiers, uint32_t, uint32_t> rows[] = {
      {"F5", true, kKeysymF5, {}, WM_KEYDOWN, VK_F5},
      {"Ctrl+F5", true, kKeysymF5, ctrl, WM_KEYDOWN, VK_F5},
      {"Alt+F5", true, kKeysymF5, alt, WM_SYSKEYDOWN, VK_F5},
      {"F5 released", false, kKeysymF5, {}, WM_KEYUP, VK_F5},
      {"Alt+F5 released", false, kKeysymF5, alt, WM_SYSKEYUP, VK_F5},
      {"F10 alone", true, kKeysymF10, {}, WM_SYSKEYDOWN, 0x79},
      {"small letters as capitals", true, 'n', {}, WM_KEYDOWN, 'N'},
      {"digits as they are", true, '7', {}, WM_KEYDOWN, '7'},
      {"keypad digits", true, 0xFFB3, {}, WM_KEYDOWN, 0x63},
      {"keypad Enter is Return", true, 0xFF8D, {}, WM_KEYDOWN, 0x0D},
      {"Shift+Tab as Tab", true, 0xFE20, shift, WM_KEYDOWN, 0x09},
      {"a key without a virtual key", true, 0x1000041, {}, WM_KEYDOWN, 0},
  };
  for (const auto& [name, pressed, keysym, modifiers, message, vk] : rows) {
    const Msg msg = KeyMessage(pressed, keysym, modifiers);
    EXPECT_EQ(msg.message, message) << name;
    EXPECT_EQ(msg.wParam, vk) << name;
  }
  EXPECT_TRUE(OpensSystemMenu(' ', alt));
  EXPECT_FALSE(OpensSystemMenu(' ', {}));
  EXPECT_TRUE(OpensSystemMenu(kKeysymF10, shift));
  EXPECT_FALSE(OpensSystemMenu(kKeysymF10, {true, true})) << "Ctrl+Shift+F10";
  EXPECT_FALSE(OpensSystemMenu(kKeysymF10, {}));
  EXPECT_TRUE(OpensSystemMenu(0xFF67, {})) << "the menu key";
}

TEST(PageInput, three_buttons_become_button_messages_the_wheel_stays_with_the_page) {
  EXPECT_EQ(ButtonMessage(true, false, 1)->message, WM_LBUTTONDOWN);
  EXPECT_EQ(ButtonMessage(true, true, 1)->message, WM_LBUTTONDBLCLK);
  EXPECT_EQ(ButtonMessage(false, false, 1)->message, WM_LBUTTONUP);
  EXPECT_EQ(ButtonMessage(true, false, 2)->message, WM_MBUTTONDOWN);
  EXPECT_EQ(ButtonMessage(false, false, 3)->message, WM_RBUTTONUP);
  EXPECT_FALSE(ButtonMessage(true, false, 4)) << "wheel";
  EXPECT_FALSE(ButtonMessage(true, false, 8)) << "back button";
}

TEST(MenuLabel, ampersand_marks_become_underscores_and_literal_ones_stay) {
  EXPECT_EQ(GtkMnemonicLabel("移動(&M) A&&B_C"), "移動(_M) A&B__C");
}

TEST(FrameGeometry, extents_cleared_while_unmapped_keep_the_known_room) {
  EXPECT_EQ(UpdatedExtents({}, kRoom), kRoom) << "first reading";
  EXPECT_EQ(UpdatedExtents(kRoom, FrameExtents{}), kRoom) << "cleared on unmap";
  EXPECT_EQ(UpdatedExtents(kRoom, std::nullopt), kRoom) << "none set";
  EXPECT_EQ(UpdatedExtents(kRoom, FrameExtents{2, 2, 30, 2}), (FrameExtents{2, 2, 30, 2}))
      << "a new theme";
  EXPECT_EQ(UpdatedExtents({}, FrameExtents{}), FrameExtents{}) << "an undecorated frame";
}

TEST(FrameGeometry, outer_and_client_sizes_differ_by_the_room_and_a_client_is_never_empty) {
  EXPECT_EQ(ClientSizeForOuter(304, 101, kRoom), (Size{302, 76}));
  EXPECT_EQ(OuterRect(10, 20, {302, 76}, kRoom), (Rect{10, 20, 314, 121}));
  EXPECT_EQ(ClientSizeForOuter(200, 0, kRoom), (Size{198, 1})) << "created with no height";
  EXPECT_EQ(ClientSizeForOuter(1, 1, kRoom), (Size{1, 1}));
  EXPECT_EQ(InToolkitPixels(kRoom, 1), kRoom);
  EXPECT_EQ(InToolkitPixels({5, 5, 29, 5}, 2), (FrameExtents{3, 3, 15, 3})) << "part pixels";
}

TEST(FrameGeometry, a_rect_belongs_to_the_display_sharing_most_and_a_parked_one_to_none) {
  const std::vector<Rect> displays = {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
  EXPECT_FALSE(LiesOnNoDisplay({1900, 10, 2100, 90}, displays));
  EXPECT_TRUE(LiesOnNoDisplay({10099, 10049, 10199, 10059}, displays)) << "parked";
  EXPECT_TRUE(LiesOnNoDisplay({1920, 1080, 2000, 1100}, displays)) << "touching a corner only";
  EXPECT_EQ(DisplayHolding({1900, 10, 2100, 90}, displays, 0), 1u) << "more on the second";
  EXPECT_EQ(DisplayHolding({1800, 10, 2000, 90}, displays, 1), 0u) << "more on the first";
  EXPECT_EQ(DisplayHolding({1820, 10, 2020, 90}, displays, 1), 0u) << "a tie: the first";
  EXPECT_EQ(DisplayHolding({10099, 10049, 10199, 10059}, displays, 1), 1u) << "none: primary";
}

constexpr FramePlace::Microseconds kSettled = FramePlace::kMoveSettles;

class FramePlaceTest : public testing::Test {
 protected:
  FramePlaceTest() {
    place.TakeExtents(kRoom);
    place.Ask(100, 50, 304, 101);
  }
  FramePlace place;
};

TEST_F(FramePlaceTest, reports_before_our_move_has_come_back_are_echoes_later_ones_the_users) {
  place.MoveSent(0);
  place.Observed({500, 500}, kSettled - 1);
  EXPECT_EQ(place.Outer(), (Rect{100, 50, 404, 151})) << "an echo of an older request";
  place.Configured({101, 71});
  place.Observed({301, 271}, 10);
  EXPECT_EQ(place.Outer(), (Rect{300, 250, 604, 351})) << "our move came back: the user's drag";
  place.MoveSent(20);
  place.Observed({701, 71}, 20 + kSettled);
  EXPECT_EQ(place.Outer().left, 700) << "no answer within the settling time";
}

TEST_F(FramePlaceTest, a_park_holds_moves_and_ends_where_the_user_last_saw_or_put_the_frame) {
  EXPECT_FALSE(place.Unpark(std::nullopt, {})) << "never placed: the window manager places it";
  place.MoveSent(0);
  // where it was shown (none: hidden all through), where it is now, moved back, its left edge
  const std::tuple<const char*, std::optional<ScreenPoint>, ScreenPoint, bool, int32_t> rows[] = {
      {"hidden through the park: moved to the asked place", std::nullopt, {0, 0}, true, 100},
      {"shown and still where asked: left alone", ScreenPoint{101, 71}, {101, 71}, false, 100},
      {"dragged while parked: stays where put", ScreenPoint{101, 71}, {401, 71}, false, 400},
      {"shown elsewhere, not dragged: moved back", ScreenPoint{201, 71}, {201, 71}, true, 100},
  };
  for (const auto& [name, shownAt, now, move, left] : rows) {
    place.Ask(100, 50, 304, 101);
    place.Park();
    place.Observed({901, 901}, 10 * kSettled);
    place.Configured({101, 71});
    EXPECT_EQ(place.Outer().left, 100) << name << ": parked, the X server is not heard";
    EXPECT_EQ(place.Unpark(shownAt, now), move) << name;
    EXPECT_EQ(place.Outer().left, left) << name;
  }
}

}  // namespace
}  // namespace bolta

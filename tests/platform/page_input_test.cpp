#include "platform/page_input.h"

#include <gtest/gtest.h>

namespace bolta {
namespace {

constexpr uint32_t kKeysymF5 = 0xFFC2;
constexpr uint32_t kKeysymF10 = 0xFFC7;
constexpr uint32_t kKeysymMenu = 0xFF67;

// Alt and F10 make system keys, Shift and Ctrl do not; small letters stand as capitals.
TEST(PageInput, keys_become_the_messages_and_virtual_keys_the_view_decides_on) {
  const Modifiers shift{true}, ctrl{false, true}, alt{false, false, true};
  const struct {
    const char* name;
    bool pressed;
    uint32_t keysym;
    Modifiers modifiers;
    uint32_t message, vk;
  } rows[] = {
      {"F5", true, kKeysymF5, {}, WM_KEYDOWN, VK_F5},
      {"Ctrl+F5", true, kKeysymF5, ctrl, WM_KEYDOWN, VK_F5},
      {"Alt+F5", true, kKeysymF5, alt, WM_SYSKEYDOWN, VK_F5},
      {"F5 released", false, kKeysymF5, {}, WM_KEYUP, VK_F5},
      {"Alt+F5 released", false, kKeysymF5, alt, WM_SYSKEYUP, VK_F5},
      {"F10 alone", true, kKeysymF10, {}, WM_SYSKEYDOWN, 0x79},
      {"small letters as capitals", true, 'n', {}, WM_KEYDOWN, 'N'},
      {"digits as they are", true, '7', {}, WM_KEYDOWN, '7'},
      {"keypad digits", true, 0xFFB3, {}, WM_KEYDOWN, 0x63},
      {"a named key", true, 0xFF1B, {}, WM_KEYDOWN, 0x1B},
      {"Shift+Tab as Tab", true, 0xFE20, shift, WM_KEYDOWN, 0x09},
      {"a key without a virtual key", true, 0x1000041, {}, WM_KEYDOWN, 0},
  };
  for (const auto& row : rows) {
    const Msg msg = KeyMessage(row.pressed, row.keysym, row.modifiers);
    EXPECT_EQ(msg.message, row.message) << row.name;
    EXPECT_EQ(msg.wParam, row.vk) << row.name;
  }
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

TEST(PageInput, alt_space_shift_f10_and_the_menu_key_open_the_system_menu) {
  EXPECT_TRUE(OpensSystemMenu(' ', {false, false, true}));
  EXPECT_FALSE(OpensSystemMenu(' ', {}));
  EXPECT_TRUE(OpensSystemMenu(kKeysymF10, {true}));
  EXPECT_FALSE(OpensSystemMenu(kKeysymF10, {true, true}));
  EXPECT_FALSE(OpensSystemMenu(kKeysymF10, {}));
  EXPECT_TRUE(OpensSystemMenu(kKeysymMenu, {}));
}

}  // namespace
}  // namespace bolta

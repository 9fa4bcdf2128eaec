#include "platform/page_input.h"

#include <gtest/gtest.h>

namespace bolta {
namespace {

constexpr uint32_t kKeysymF5 = 0xFFC2;
constexpr uint32_t kKeysymF10 = 0xFFC7;
constexpr uint32_t kKeysymMenu = 0xFF67;

TEST(PageInput, keysyms_become_the_virtual_keys_the_view_decides_on) {
  const struct {
    const char* name;
    uint32_t keysym;
    uint32_t vk;
  } rows[] = {
      {"F5", kKeysymF5, VK_F5},
      {"small letters as capitals", 'n', 'N'},
      {"digits as they are", '7', '7'},
      {"keypad digits", 0xFFB3, 0x63},
      {"a named key", 0xFF1B, 0x1B},
      {"Shift+Tab as Tab", 0xFE20, 0x09},
      {"a key without a virtual key", 0x1000041, 0},
  };
  for (const auto& row : rows) EXPECT_EQ(VirtualKeyOfKeysym(row.keysym), row.vk) << row.name;
}

TEST(PageInput, alt_and_f10_make_system_keys_shift_and_ctrl_do_not) {
  const struct {
    const char* name;
    bool pressed;
    uint32_t keysym;
    Modifiers modifiers;
    uint32_t message;
  } rows[] = {
      {"F5", true, kKeysymF5, {}, WM_KEYDOWN},
      {"Shift+F5", true, kKeysymF5, {true}, WM_KEYDOWN},
      {"Ctrl+F5", true, kKeysymF5, {false, true}, WM_KEYDOWN},
      {"Alt+F5", true, kKeysymF5, {false, false, true}, WM_SYSKEYDOWN},
      {"F5 released", false, kKeysymF5, {}, WM_KEYUP},
      {"Alt+F5 released", false, kKeysymF5, {false, false, true}, WM_SYSKEYUP},
      {"F10 alone", true, kKeysymF10, {}, WM_SYSKEYDOWN},
  };
  for (const auto& row : rows) {
    const Msg msg = KeyMessage(row.pressed, row.keysym, row.modifiers);
    EXPECT_EQ(msg.message, row.message) << row.name;
    EXPECT_EQ(msg.wParam, row.keysym == kKeysymF5 ? VK_F5 : 0x79u /* VK_F10 */) << row.name;
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

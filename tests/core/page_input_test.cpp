#include "display/page_input.h"

#include <gtest/gtest.h>

namespace bolta {
namespace {

constexpr uint32_t kF5 = 0xFFC2;
constexpr uint32_t kF10 = 0xFFC7;
constexpr uint32_t kMenuKey = 0xFF67;
constexpr Modifiers kNone{};
constexpr Modifiers kShift{true, false, false};
constexpr Modifiers kControl{false, true, false};
constexpr Modifiers kAlt{false, false, true};

TEST(PageInput, keysyms_become_virtual_keys) {
  struct Row {
    const char* name;
    uint32_t keysym, vk;
  };
  const Row rows[] = {
      {"F5", kF5, VK_F5},
      {"F1", 0xFFBE, 0x70},
      {"F12", 0xFFC9, 0x7B},
      {"small letter", 'r', 'R'},
      {"capital letter", 'R', 'R'},
      {"digit", '7', '7'},
      {"keypad digit", 0xFFB3, 0x63},
      {"Escape", 0xFF1B, 0x1B},
      {"Left", 0xFF51, 0x25},
      {"Menu key", kMenuKey, VK_APPS},
      {"Shift+Tab", 0xFE20, 0x09},
      {"a key with no virtual key", 0x00E9 /* eacute */, 0},
  };
  for (const Row& row : rows) EXPECT_EQ(VirtualKeyOfKeysym(row.keysym), row.vk) << row.name;
}

TEST(PageInput, key_messages_are_system_ones_with_alt_or_for_f10) {
  struct Row {
    const char* name;
    bool pressed;
    uint32_t keysym;
    Modifiers modifiers;
    uint32_t message;
  };
  const Row rows[] = {
      {"F5 pressed", true, kF5, kNone, WM_KEYDOWN},
      {"Shift+F5 pressed", true, kF5, kShift, WM_KEYDOWN},
      {"Ctrl+F5 pressed", true, kF5, kControl, WM_KEYDOWN},
      {"Alt+F5 pressed", true, kF5, kAlt, WM_SYSKEYDOWN},
      {"F5 released", false, kF5, kNone, WM_KEYUP},
      {"Alt+F4 released", false, 0xFFC1, kAlt, WM_SYSKEYUP},
      {"F10 pressed", true, kF10, kNone, WM_SYSKEYDOWN},
  };
  for (const Row& row : rows) {
    const Msg msg = KeyMessage(row.pressed, row.keysym, row.modifiers);
    EXPECT_EQ(msg.message, row.message) << row.name;
    EXPECT_EQ(msg.wParam, VirtualKeyOfKeysym(row.keysym)) << row.name;
  }
}

TEST(PageInput, buttons_become_button_messages_with_the_point) {
  struct Row {
    const char* name;
    bool pressed, doubleClick;
    uint32_t button;
    std::optional<uint32_t> message;
  };
  const Row rows[] = {
      {"left press", true, false, 1, WM_LBUTTONDOWN},
      {"left double click", true, true, 1, WM_LBUTTONDBLCLK},
      {"left release", false, false, 1, WM_LBUTTONUP},
      {"middle press", true, false, 2, WM_MBUTTONDOWN},
      {"right press", true, false, 3, WM_RBUTTONDOWN},
      {"right release", false, false, 3, WM_RBUTTONUP},
      {"wheel", true, false, 4, std::nullopt},
      {"back button", true, false, 8, std::nullopt},
  };
  for (const Row& row : rows) {
    const std::optional<Msg> msg = ButtonMessage(row.pressed, row.doubleClick, row.button, 5, 7);
    ASSERT_EQ(msg.has_value(), row.message.has_value()) << row.name;
    if (msg) {
      EXPECT_EQ(msg->message, *row.message) << row.name;
      EXPECT_EQ(msg->lParam, (7 << 16) | 5) << row.name;
    }
  }
}

TEST(PageInput, system_menu_keys) {
  struct Row {
    const char* name;
    uint32_t keysym;
    Modifiers modifiers;
    bool opens;
  };
  const Row rows[] = {
      {"Alt+Space", ' ', kAlt, true},
      {"Space alone", ' ', kNone, false},
      {"Shift+F10", kF10, kShift, true},
      {"F10 alone", kF10, kNone, false},
      {"Ctrl+Shift+F10", kF10, {true, true, false}, false},
      {"Menu key", kMenuKey, kNone, true},
      {"Shift+F5", kF5, kShift, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(OpensSystemMenu(row.keysym, row.modifiers), row.opens) << row.name;
  }
}

}  // namespace
}  // namespace bolta

#include "platform/page_input.h"

#include <array>
#include <utility>

namespace bolta {
namespace {

constexpr uint32_t kKeysymSpace = 0x0020;
constexpr uint32_t kKeysymF1 = 0xFFBE;
constexpr uint32_t kKeysymF24 = 0xFFD5;
constexpr uint32_t kKeysymF10 = 0xFFC7;
constexpr uint32_t kKeysymMenu = 0xFF67;
constexpr uint32_t kKeysymKp0 = 0xFFB0;
constexpr uint32_t kKeysymKp9 = 0xFFB9;
constexpr uint32_t kVkF1 = 0x70;
constexpr uint32_t kVkNumpad0 = 0x60;

// Keysyms whose virtual key is not a letter, digit, function key or keypad digit.
constexpr std::array<std::pair<uint32_t, uint32_t>, 38> kNamedKeys{{
    {0xFF08, 0x08},  // BackSpace
    {0xFF09, 0x09},  // Tab
    {0xFE20, 0x09},  // ISO_Left_Tab (Shift+Tab)
    {0xFF0D, 0x0D},  // Return
    {0xFF8D, 0x0D},  // KP_Enter
    {0xFF13, 0x13},  // Pause
    {0xFF1B, 0x1B},  // Escape
    {0x0020, 0x20},  // space
    {0xFF55, 0x21},  // Prior
    {0xFF56, 0x22},  // Next
    {0xFF57, 0x23},  // End
    {0xFF50, 0x24},  // Home
    {0xFF51, 0x25},  // Left
    {0xFF52, 0x26},  // Up
    {0xFF53, 0x27},  // Right
    {0xFF54, 0x28},  // Down
    {0xFF61, 0x2C},  // Print
    {0xFF63, 0x2D},  // Insert
    {0xFFFF, 0x2E},  // Delete
    {0xFFEB, 0x5B},  // Super_L
    {0xFFEC, 0x5C},  // Super_R
    {0xFF67, 0x5D},  // Menu
    {0xFFAA, 0x6A},  // KP_Multiply
    {0xFFAB, 0x6B},  // KP_Add
    {0xFFAD, 0x6D},  // KP_Subtract
    {0xFFAE, 0x6E},  // KP_Decimal
    {0xFFAF, 0x6F},  // KP_Divide
    {0xFFE1, 0x10},  // Shift_L
    {0xFFE2, 0x10},  // Shift_R
    {0xFFE3, 0x11},  // Control_L
    {0xFFE4, 0x11},  // Control_R
    {0xFFE9, 0x12},  // Alt_L
    {0xFFEA, 0x12},  // Alt_R
    {0xFFE5, 0x14},  // Caps_Lock
    {0xFF7F, 0x90},  // Num_Lock
    {0xFF14, 0x91},  // Scroll_Lock
    {0xFF2A, 0x19},  // Zenkaku_Hankaku
    {0xFF22, 0x1D},  // Muhenkan
}};

}  // namespace

uint32_t VirtualKeyOfKeysym(uint32_t keysym) {
  if (keysym >= 'a' && keysym <= 'z') return keysym - 'a' + 'A';
  if ((keysym >= 'A' && keysym <= 'Z') || (keysym >= '0' && keysym <= '9')) return keysym;
  if (keysym >= kKeysymF1 && keysym <= kKeysymF24) return keysym - kKeysymF1 + kVkF1;
  if (keysym >= kKeysymKp0 && keysym <= kKeysymKp9) return keysym - kKeysymKp0 + kVkNumpad0;
  for (const auto& [sym, vk] : kNamedKeys) {
    if (sym == keysym) return vk;
  }
  return 0;
}

Msg KeyMessage(bool pressed, uint32_t keysym, const Modifiers& modifiers) {
  const uint32_t vk = VirtualKeyOfKeysym(keysym);
  const bool system = modifiers.alt || vk == VK_F10;
  Msg msg;
  msg.message = pressed ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  msg.wParam = vk;
  return msg;
}

std::optional<Msg> ButtonMessage(bool pressed, bool doubleClick, uint32_t button) {
  uint32_t message = 0;
  switch (button) {
    case 1:
      message = !pressed ? WM_LBUTTONUP : doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
      break;
    case 2:
      message = pressed ? WM_MBUTTONDOWN : WM_MBUTTONUP;
      break;
    case 3:
      message = pressed ? WM_RBUTTONDOWN : WM_RBUTTONUP;
      break;
    default:
      return std::nullopt;
  }
  Msg msg;
  msg.message = message;
  return msg;
}

bool OpensSystemMenu(uint32_t keysym, const Modifiers& modifiers) {
  if (keysym == kKeysymMenu) return true;
  if (keysym == kKeysymSpace) return modifiers.alt;
  if (keysym == kKeysymF10) return modifiers.shift && !modifiers.alt && !modifiers.control;
  return false;
}

}  // namespace bolta

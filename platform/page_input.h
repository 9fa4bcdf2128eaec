#pragma once
// Input on the page in the terms of the Windows messages the view's pre-translation decides on:
// X keysyms become virtual-key codes, pointer buttons become button messages. Free of the window
// system so that the tables are tested without a display.
#include <cstdint>
#include <optional>

#include "display/page_message.h"

namespace bolta {

inline constexpr uint32_t VK_F10 = 0x79;

struct Modifiers {
  bool shift = false;
  bool control = false;
  bool alt = false;
};

// The virtual-key code of an X keysym, or 0 for a key that has none.
uint32_t VirtualKeyOfKeysym(uint32_t keysym);

// A key press or release: WM_KEYDOWN / WM_KEYUP, or WM_SYSKEYDOWN / WM_SYSKEYUP with Alt held
// (and for F10, which the window system keeps for menus), wParam the virtual-key code.
Msg KeyMessage(bool pressed, uint32_t keysym, const Modifiers& modifiers);

// A press or release of pointer button 1 (left), 2 (middle) or 3 (right); nothing for other buttons
// (wheel, extra buttons), which the page handles as it likes.
std::optional<Msg> ButtonMessage(bool pressed, bool doubleClick, uint32_t button);

// The keys that open the frame's system menu: Alt+Space, Shift+F10 and the Menu key.
bool OpensSystemMenu(uint32_t keysym, const Modifiers& modifiers);

}  // namespace bolta

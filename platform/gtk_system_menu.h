#pragma once
// The frame's system menu, drawn as a GTK popup from the menu model the frame edits.
#include <cstdint>
#include <functional>

#include "mainwnd/system_menu.h"

typedef struct _GtkWidget GtkWidget;
typedef union _GdkEvent GdkEvent;

namespace bolta {

// Pops `menu` up for `trigger`, the input event that asks for it: at the pointer for a click, at
// the frame's top-left corner for a key. `onCommand` gets the chosen entry's id once the popup
// has closed.
void PopupSystemMenu(GtkWidget* toplevel, const Menu& menu, const GdkEvent* trigger,
                     std::function<void(int32_t id)> onCommand);

}  // namespace bolta

#include "platform/page_input_hook.h"

#include <gtk/gtk.h>

#include <utility>

#include "platform/page_input.h"
#include "platform/wx_frame_window.h"

namespace bolta {
namespace {

Modifiers ModifiersOf(const GdkEventKey& key) {
  Modifiers modifiers;
  modifiers.shift = (key.state & GDK_SHIFT_MASK) != 0;
  modifiers.control = (key.state & GDK_CONTROL_MASK) != 0;
  // The Alt key's own press does not carry the Alt state yet; the window system counts it.
  modifiers.alt = (key.state & GDK_MOD1_MASK) != 0 || key.keyval == GDK_KEY_Alt_L ||
                  key.keyval == GDK_KEY_Alt_R;
  return modifiers;
}

}  // namespace

PageInputHook::PageInputHook(WxFrameWindow& frame, Handlers handlers)
    : frame_(frame), handlers_(std::move(handlers)) {
  gdk_event_handler_set(&PageInputHook::Filter, this, nullptr);
}

PageInputHook::~PageInputHook() {
  gdk_event_handler_set(
      +[](GdkEvent* event, gpointer) { gtk_main_do_event(event); }, nullptr, nullptr);
}

void PageInputHook::Filter(GdkEvent* event, void* data) {
  auto* self = static_cast<PageInputHook*>(data);
  bool consumed = false;
  if (self->IsOnFrame(event)) {
    // The frame's window system handles the event being offered (a drag starts from it).
    self->frame_.SetInputEvent(event);
    switch (event->type) {
      case GDK_BUTTON_PRESS:
      case GDK_2BUTTON_PRESS:
      case GDK_BUTTON_RELEASE:
        consumed = self->OnButton(event->button);
        break;
      case GDK_KEY_PRESS:
      case GDK_KEY_RELEASE:
        consumed = self->OnKey(event->key);
        break;
      default:
        break;
    }
    self->frame_.SetInputEvent(nullptr);
  }
  if (!consumed) gtk_main_do_event(event);
}

bool PageInputHook::IsOnFrame(GdkEvent* event) const {
  GtkWidget* toplevel = frame_.toplevel();  // none once the frame is destroyed
  if (toplevel == nullptr || event->any.window == nullptr) return false;
  // While a modal dialog holds GTK's grab the frame takes no input: GTK drops it.
  GtkWidget* grab = gtk_grab_get_current();
  if (grab != nullptr && gtk_widget_get_toplevel(grab) != toplevel) return false;
  GdkWindow* frame = gtk_widget_get_window(toplevel);
  return frame != nullptr && gdk_window_get_effective_toplevel(event->any.window) == frame;
}

bool PageInputHook::OnButton(const GdkEventButton& button) {
  const bool pressed = button.type != GDK_BUTTON_RELEASE;
  if (button.button == 3) {
    // The frame's menu opens when the click ends, as context menus do; the page never sees it.
    if (!pressed && handlers_.openSystemMenu) handlers_.openSystemMenu();
    return true;
  }
  const std::optional<Msg> msg =
      ButtonMessage(pressed, button.type == GDK_2BUTTON_PRESS, button.button);
  return msg && handlers_.preTranslateMessage && handlers_.preTranslateMessage(*msg);
}

bool PageInputHook::OnKey(const GdkEventKey& key) {
  const bool pressed = key.type == GDK_KEY_PRESS;
  const Modifiers modifiers = ModifiersOf(key);
  if (pressed && OpensSystemMenu(key.keyval, modifiers)) {
    if (handlers_.openSystemMenu) handlers_.openSystemMenu();
    return true;
  }
  return handlers_.preTranslateMessage &&
         handlers_.preTranslateMessage(KeyMessage(pressed, key.keyval, modifiers));
}

}  // namespace bolta

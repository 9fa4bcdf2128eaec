#include "platform/x11_frame_extents.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <poll.h>

#include <chrono>

namespace bolta {
namespace {

constexpr auto kRequestWait = std::chrono::seconds(1);
constexpr const char* kExtentsProperty = "_NET_FRAME_EXTENTS";
constexpr int kLookAgainMs = 2;

Window XidOf(GtkWidget* toplevel) {
  GdkWindow* window = gtk_widget_get_window(toplevel);
  if (window == nullptr || !GDK_IS_X11_WINDOW(window)) return None;
  return GDK_WINDOW_XID(window);
}

Display* XDisplayOf(GtkWidget* toplevel) {
  return GDK_DISPLAY_XDISPLAY(gtk_widget_get_display(toplevel));
}

// True when the running window manager lists `atomName` among what it supports.
bool WindowManagerSupports(Display* display, const char* atomName) {
  const Atom supported = XInternAtom(display, "_NET_SUPPORTED", False);
  const Atom wanted = XInternAtom(display, atomName, False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  bool found = false;
  if (XGetWindowProperty(display, DefaultRootWindow(display), supported, 0, 4096, False, XA_ATOM,
                         &type, &format, &count, &after, &data) == Success &&
      data != nullptr && format == 32) {
    const auto* atoms = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count && !found; ++i) found = atoms[i] == wanted;
  }
  if (data != nullptr) XFree(data);
  return found;
}

}  // namespace

std::optional<FrameExtents> ReadFrameExtents(GtkWidget* toplevel) {
  const Window xid = XidOf(toplevel);
  if (xid == None) return std::nullopt;
  Display* display = XDisplayOf(toplevel);
  const Atom property = XInternAtom(display, kExtentsProperty, False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::optional<FrameExtents> extents;
  if (XGetWindowProperty(display, xid, property, 0, 4, False, XA_CARDINAL, &type, &format, &count,
                         &after, &data) == Success &&
      data != nullptr && format == 32 && count == 4) {
    // Format 32 properties arrive as longs: left, right, top, bottom.
    const auto* values = reinterpret_cast<const long*>(data);
    // The window manager measures in device pixels, GTK places and sizes in its own.
    extents = InToolkitPixels({static_cast<int32_t>(values[0]), static_cast<int32_t>(values[1]),
                               static_cast<int32_t>(values[2]), static_cast<int32_t>(values[3])},
                              gtk_widget_get_scale_factor(toplevel));
  }
  if (data != nullptr) XFree(data);
  return extents;
}

bool ChangesFrameExtents(const GdkEventProperty& event) {
  return event.atom == gdk_atom_intern_static_string(kExtentsProperty);
}

std::optional<FrameExtents> RequestFrameExtents(GtkWidget* toplevel) {
  const Window xid = XidOf(toplevel);
  if (xid == None) return std::nullopt;
  Display* display = XDisplayOf(toplevel);
  if (!WindowManagerSupports(display, "_NET_REQUEST_FRAME_EXTENTS")) return std::nullopt;

  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = xid;
  request.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
  request.xclient.format = 32;
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &request);
  XFlush(display);

  // The answer is a property change on our window: look again whenever the X server sends
  // something. The toolkit's event queue may already hold the change, so no wait is long.
  const auto deadline = std::chrono::steady_clock::now() + kRequestWait;
  pollfd connection{ConnectionNumber(display), POLLIN, 0};
  while (std::chrono::steady_clock::now() < deadline) {
    if (auto extents = ReadFrameExtents(toplevel)) return extents;
    poll(&connection, 1, kLookAgainMs);
  }
  return std::nullopt;
}

}  // namespace bolta

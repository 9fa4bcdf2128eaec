#pragma once
// The window manager's decoration room of a top-level window, read from _NET_FRAME_EXTENTS.
#include <optional>

#include "platform/frame_geometry.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _GdkEventProperty GdkEventProperty;

namespace bolta {

// The extents the window manager has set on `toplevel`'s window; nothing while none are set
// (no window manager, not yet known, or a display that is not X11).
std::optional<FrameExtents> ReadFrameExtents(GtkWidget* toplevel);

// True when `event`, a property change on a top-level window, is a change of its extents.
bool ChangesFrameExtents(const GdkEventProperty& event);

// Asks the window manager for the extents of a window it has not framed yet and waits, at most a
// second, for the answer. Nothing when no window manager that offers the request answers.
std::optional<FrameExtents> RequestFrameExtents(GtkWidget* toplevel);

}  // namespace bolta

#pragma once
// A C++ object handed to GLib as a source's or a signal handler's data: GLib owns it from the
// hand-over and frees it through the destroy notify given with it, whether or not the callback
// ever ran.
#include <glib-object.h>

#include <memory>

namespace bolta {

template <class T>
struct GlibPayload {
  static gpointer Hand(std::unique_ptr<T> payload) { return payload.release(); }
  static T& Of(gpointer data) { return *static_cast<T*>(data); }
  // The GDestroyNotify of a source.
  static void Free(gpointer data) { std::unique_ptr<T> owned(static_cast<T*>(data)); }
  // The GClosureNotify of a signal handler.
  static void FreeClosure(gpointer data, GClosure*) { Free(data); }
};

}  // namespace bolta

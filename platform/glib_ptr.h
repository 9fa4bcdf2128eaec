#pragma once
// Ownership of GLib objects held beyond one scope; g_autoptr covers the ones that live in a scope.
#include <glib-object.h>

#include <memory>

namespace bolta {

struct GObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};

template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

}  // namespace bolta

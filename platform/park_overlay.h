#pragma once
// The frame as it was drawn when the view's park began, painted over it until the park ends: the
// page reloads and is measured underneath, and the user sees the new one only once the frame
// fits it.
#include <memory>

typedef struct _GtkWidget GtkWidget;
typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace bolta {

class ParkOverlay {
 public:
  // Takes a picture of the mapped `toplevel` as it is drawn now.
  void Take(GtkWidget* toplevel);
  bool taken() const { return picture_ != nullptr; }
  // Paints the picture over what the frame draws, if there is one.
  void Paint(cairo_t* context) const;
  void Drop() { picture_.reset(); }

 private:
  struct SurfaceDestroy {
    void operator()(cairo_surface_t* surface) const;
  };
  std::unique_ptr<cairo_surface_t, SurfaceDestroy> picture_;
};

}  // namespace bolta

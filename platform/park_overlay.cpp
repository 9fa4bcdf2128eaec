#include "platform/park_overlay.h"

#include <gtk/gtk.h>

namespace bolta {

void ParkOverlay::SurfaceDestroy::operator()(cairo_surface_t* surface) const {
  cairo_surface_destroy(surface);
}

void ParkOverlay::Take(GtkWidget* toplevel) {
  picture_.reset(gdk_window_create_similar_surface(
      gtk_widget_get_window(toplevel), CAIRO_CONTENT_COLOR,
      gtk_widget_get_allocated_width(toplevel), gtk_widget_get_allocated_height(toplevel)));
  cairo_t* context = cairo_create(picture_.get());
  gtk_widget_draw(toplevel, context);
  cairo_destroy(context);
}

void ParkOverlay::Paint(cairo_t* context) const {
  if (!picture_) return;
  cairo_set_source_surface(context, picture_.get(), 0, 0);
  cairo_paint(context);
}

}  // namespace bolta

#include "platform/gtk_tray_icon.h"

// GtkStatusIcon is deprecated in GTK 3 but remains the only way to reach an X11 system tray
// without a further library.
#define GDK_DISABLE_DEPRECATION_WARNINGS
#include <gtk/gtk.h>

#include "platform/app_icon.h"

namespace bolta {

GtkTrayIcon::GtkTrayIcon(const std::string& tooltipUtf8) : icon_(gtk_status_icon_new()) {
  // The tray scales the icon to its own size: offer the larger picture.
  g_autoptr(GdkPixbuf) picture = AppIconPixbuf(32);
  if (picture != nullptr) gtk_status_icon_set_from_pixbuf(icon_, picture);
  gtk_status_icon_set_tooltip_text(icon_, tooltipUtf8.c_str());
  gtk_status_icon_set_title(icon_, tooltipUtf8.c_str());
  gtk_status_icon_set_visible(icon_, TRUE);
}

GtkTrayIcon::~GtkTrayIcon() {
  gtk_status_icon_set_visible(icon_, FALSE);
  g_object_unref(icon_);
}

}  // namespace bolta

#pragma once
// The notification-area icon: GTK's status icon directly, because wxTaskBarIcon on GTK 3 shows
// the program name instead of the tooltip.
#include <string>

typedef struct _GtkStatusIcon GtkStatusIcon;

namespace bolta {

class GtkTrayIcon {
 public:
  // Shown at once; `tooltipUtf8` is the tooltip and the title trays list it under.
  explicit GtkTrayIcon(const std::string& tooltipUtf8);
  ~GtkTrayIcon();
  GtkTrayIcon(const GtkTrayIcon&) = delete;
  GtkTrayIcon& operator=(const GtkTrayIcon&) = delete;

 private:
  GtkStatusIcon* icon_;
};

}  // namespace bolta

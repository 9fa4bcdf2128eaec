#include "platform/event_loop.h"

#include <glib.h>

namespace bolta {

void ServePendingEvents() {
  for (int i = 0; i < 100 && g_main_context_iteration(nullptr, FALSE); ++i) {
  }
}

}  // namespace bolta

#include "platform/fatal_library_error.h"

#include <glib.h>

#include <algorithm>
#include <utility>

namespace bolta {

FatalLibraryErrors::FatalLibraryErrors(std::function<void(const std::string&)> onFatal)
    : onFatal_(std::move(onFatal)) {
  // The web engine logs without a domain of its own, so the default handler is the one to take.
  g_log_set_default_handler(
      +[](const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer data) {
        if ((level & (G_LOG_FLAG_FATAL | G_LOG_LEVEL_ERROR)) != 0) {
          std::string line = message != nullptr ? message : "";
          std::replace(line.begin(), line.end(), '\n', ' ');
          static_cast<FatalLibraryErrors*>(data)->onFatal_(line);
        }
        g_log_default_handler(domain, level, message, nullptr);
      },
      this);
}

FatalLibraryErrors::~FatalLibraryErrors() {
  g_log_set_default_handler(g_log_default_handler, nullptr);
}

}  // namespace bolta

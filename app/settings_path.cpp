#include "app/settings_path.h"

#include <string>

#include "res/texts.h"

namespace bolta {

std::filesystem::path SettingsPathFor(const std::filesystem::path& executable) {
  return executable.parent_path() / (std::string(text::kAppTitle) + ".ini");
}

std::filesystem::path ExecutablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : path;
}

}  // namespace bolta

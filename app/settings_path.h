#pragma once
// Where the settings file lies: beside the executable, named after the application title.
#include <filesystem>

namespace bolta {

// `executable`'s directory + the application title + ".ini"; the executable's own name plays no
// part.
std::filesystem::path SettingsPathFor(const std::filesystem::path& executable);

// The running executable's full path, from /proc/self/exe.
std::filesystem::path ExecutablePath();

}  // namespace bolta

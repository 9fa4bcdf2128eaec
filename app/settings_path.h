#pragma once
// Where the settings file lies: beside the executable, named after the application title, when
// the user may write there (a portable copy); otherwise in the user's configuration folder, with
// the file beside the executable as the defaults it starts from (an install under /usr or /opt).
#include <filesystem>
#include <functional>
#include <string>

#include "app/settings_store.h"

namespace bolta {

// What the choice depends on besides the executable's path.
struct SettingsEnvironment {
  std::string xdgConfigHome;  // empty when unset
  std::string home;           // empty when unknown
  std::function<bool(const std::filesystem::path& folder)> mayReplaceFilesIn;
};

// Beside `executable` when `environment` lets the user replace files in its folder; otherwise
// $XDG_CONFIG_HOME/bolta/Bolta.ini (only an absolute $XDG_CONFIG_HOME counts), else
// $HOME/.config/bolta/Bolta.ini, seeded from the file beside the executable.
SettingsLocation ChooseSettingsLocation(const std::filesystem::path& executable,
                                        const SettingsEnvironment& environment);

// This process's: its environment, its user's home folder, and access(2) for its effective user.
SettingsEnvironment ProcessSettingsEnvironment();

// Whether the effective user may create and rename files in `folder`.
bool MayReplaceFilesIn(const std::filesystem::path& folder);

// The running executable's full path, from /proc/self/exe.
std::filesystem::path ExecutablePath();

}  // namespace bolta

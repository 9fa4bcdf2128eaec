#pragma once
// Where the settings file lies: beside the executable, named after the application title, for a
// portable copy whose folder the user may write; otherwise in the user's configuration folder,
// with the file beside the executable as the defaults it starts from. A copy installed in the
// system's program folders is never portable, not even for root, who may write there: files it
// left there would belong to no package.
#include <filesystem>
#include <functional>
#include <string>

#include "app/settings_store.h"

namespace bolta {

// What the choice depends on besides the executable's path.
struct SettingsEnvironment {
  std::string xdgConfigHome;  // empty when unset
  std::string home;           // empty when unknown
  std::string installPrefix;  // the build's install prefix
  std::function<bool(const std::filesystem::path& folder)> mayReplaceFilesIn;
};

// Beside `executable` when it lies outside /usr, /opt and the install prefix (a prefix in the home
// folder, such as ~/.local, excepted) and `environment` lets the user replace files in its folder;
// otherwise $XDG_CONFIG_HOME/bolta/Bolta.ini (only an absolute $XDG_CONFIG_HOME counts), else
// $HOME/.config/bolta/Bolta.ini, seeded from the file beside the executable.
SettingsLocation ChooseSettingsLocation(const std::filesystem::path& executable,
                                        const SettingsEnvironment& environment);

// This process's: its environment, its user's home folder, the prefix this build installs to, and
// access(2) for its effective user.
SettingsEnvironment ProcessSettingsEnvironment();

// Whether the effective user may create and rename files in `folder`.
bool MayReplaceFilesIn(const std::filesystem::path& folder);

// The running executable's full path, from /proc/self/exe.
std::filesystem::path ExecutablePath();

}  // namespace bolta

#include "app/settings_path.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "res/texts.h"

namespace bolta {
namespace {

namespace fs = std::filesystem;

std::string FileName() { return std::string(text::kAppTitle) + ".ini"; }

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The configuration folder by the XDG rule; empty when neither variable gives one.
fs::path ConfigHome(const SettingsEnvironment& environment) {
  const fs::path xdg = environment.xdgConfigHome;
  if (xdg.is_absolute()) return xdg;
  if (environment.home.empty()) return {};
  return fs::path(environment.home) / ".config";
}

// Whether `path` is `folder` or lies below it, by their names.
bool IsWithin(const fs::path& path, const fs::path& folder) {
  const fs::path relative = path.lexically_relative(folder);
  return !relative.empty() && *relative.begin() != "..";
}

// Folders that only the package manager or an administrator's install writes.
bool IsSystemProgramFolder(const fs::path& folder, const SettingsEnvironment& environment) {
  if (IsWithin(folder, "/usr") || IsWithin(folder, "/opt")) return true;
  // A prefix in the home folder (~/.local) makes a copy of the user's own.
  const fs::path prefix = environment.installPrefix;
  return IsWithin(folder, prefix) && !IsWithin(prefix, environment.home);
}

}  // namespace

SettingsLocation ChooseSettingsLocation(const fs::path& executable,
                                        const SettingsEnvironment& environment) {
  const fs::path folder = executable.parent_path();
  const fs::path beside = folder / FileName();
  const fs::path config = ConfigHome(environment);
  const bool portable =
      !IsSystemProgramFolder(folder, environment) && environment.mayReplaceFilesIn(folder);
  if (portable || config.empty()) return {beside, std::nullopt};
  return {config / "bolta" / FileName(), beside};
}

SettingsEnvironment ProcessSettingsEnvironment() {
  std::string home = Variable("HOME");
  if (home.empty()) {
    if (const passwd* user = ::getpwuid(::geteuid()); user && user->pw_dir) home = user->pw_dir;
  }
  return {Variable("XDG_CONFIG_HOME"), home, BOLTA_INSTALL_PREFIX, &MayReplaceFilesIn};
}

bool MayReplaceFilesIn(const fs::path& folder) {
  // Creating the temporary file and renaming it over the old one need write and search rights;
  // AT_EACCESS asks for the effective user, and a read-only mount fails for root too.
  return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

fs::path ExecutablePath() {
  std::error_code error;
  auto path = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : path;
}

}  // namespace bolta

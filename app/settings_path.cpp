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

}  // namespace

SettingsLocation ChooseSettingsLocation(const fs::path& executable,
                                        const SettingsEnvironment& environment) {
  const fs::path beside = executable.parent_path() / FileName();
  const fs::path config = ConfigHome(environment);
  if (environment.mayReplaceFilesIn(executable.parent_path()) || config.empty())
    return {beside, std::nullopt};
  return {config / "bolta" / FileName(), beside};
}

SettingsEnvironment ProcessSettingsEnvironment() {
  std::string home = Variable("HOME");
  if (home.empty()) {
    if (const passwd* user = ::getpwuid(::geteuid()); user && user->pw_dir) home = user->pw_dir;
  }
  return {Variable("XDG_CONFIG_HOME"), home, &MayReplaceFilesIn};
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

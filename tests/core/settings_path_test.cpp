#include "app/settings_path.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

using namespace bolta;
namespace fs = std::filesystem;

namespace {

const fs::path kExecutable = "/opt/tools/viewer";

SettingsEnvironment Environment(bool writable, std::string xdg, std::string home = "/home/u",
                                std::string prefix = "/usr/local") {
  return {std::move(xdg), std::move(home), std::move(prefix),
          [writable](const fs::path&) { return writable; }};
}

}  // namespace

TEST(SettingsPathTest, only_a_portable_copy_in_a_folder_the_user_may_write_keeps_the_file_beside) {
  struct Case {
    fs::path executable;
    bool writable;
    std::string prefix, home;
    bool beside;
  };
  const Case cases[] = {
      {"/home/u/bolta/bolta", true, "/usr/local", "/home/u", true},
      {"/home/u/bolta/bolta", false, "/usr/local", "/home/u", false},
      {"/usrx/bolta", true, "/usr/local", "/home/u", true},
      // Root may write the system's program folders, and must not.
      {"/usr/bin/bolta", true, "/usr/local", "/root", false},
      {"/usr/local/bin/bolta", true, "/usr/local", "/root", false},
      {"/opt/bolta/bolta", true, "/usr/local", "/root", false},
      {"/srv/apps/bin/bolta", true, "/srv/apps/", "/root", false},
      {"/srv/apps/bin/bolta", true, "/usr/local", "/root", true},
      // A prefix in the home folder installs a copy of one's own; not so for another user.
      {"/home/u/.local/bin/bolta", true, "/home/u/.local", "/home/u", true},
      {"/home/u/.local/bin/bolta", true, "/home/u/.local", "/root", false},
  };
  for (const Case& row : cases) {
    const SettingsLocation location =
        ChooseSettingsLocation(row.executable, Environment(row.writable, "", row.home, row.prefix));
    const fs::path beside = row.executable.parent_path() / "Bolta.ini";
    EXPECT_EQ(location.file, row.beside ? beside : fs::path(row.home) / ".config/bolta/Bolta.ini")
        << row.executable << " " << row.writable << " " << row.home;
    EXPECT_EQ(location.defaults, row.beside ? std::nullopt : std::optional(beside));
  }
}

TEST(SettingsPathTest, a_read_only_folder_sends_the_file_to_the_users_config_folder) {
  // environment, the file it gives
  const std::pair<SettingsEnvironment, fs::path> rows[] = {
      {Environment(false, "/cfg"), "/cfg/bolta/Bolta.ini"},
      {Environment(false, ""), "/home/u/.config/bolta/Bolta.ini"},
      {Environment(false, "relative/cfg"), "/home/u/.config/bolta/Bolta.ini"},
  };
  for (const auto& [environment, file] : rows) {
    EXPECT_EQ(ChooseSettingsLocation(kExecutable, environment).file, file)
        << environment.xdgConfigHome;
  }
  // With no folder of the user's to go to, the file stays where it was (and writes fail).
  EXPECT_EQ(ChooseSettingsLocation(kExecutable, Environment(false, "", "")).file,
            "/opt/tools/Bolta.ini");
}

TEST(SettingsPathTest, the_process_environment_gives_the_variables_and_the_real_access_check) {
  const char* saved = ::getenv("XDG_CONFIG_HOME");
  const std::string restore = saved ? saved : "";
  ::setenv("XDG_CONFIG_HOME", "/somewhere/cfg", 1);
  const SettingsEnvironment environment = ProcessSettingsEnvironment();
  ::unsetenv("XDG_CONFIG_HOME");
  const SettingsEnvironment unset = ProcessSettingsEnvironment();
  saved ? ::setenv("XDG_CONFIG_HOME", restore.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");

  EXPECT_EQ(environment.xdgConfigHome, "/somewhere/cfg");
  EXPECT_EQ(unset.xdgConfigHome, "");
  EXPECT_FALSE(environment.home.empty());
  EXPECT_TRUE(fs::path(environment.installPrefix).is_absolute());
  EXPECT_TRUE(environment.mayReplaceFilesIn(fs::temp_directory_path()));
  EXPECT_FALSE(environment.mayReplaceFilesIn("/no/such/folder"));
  EXPECT_EQ(ExecutablePath().filename(), "bolta_core_tests");
}

#include "app/settings_path.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

using namespace bolta;
namespace fs = std::filesystem;

TEST(SettingsPathTest, only_a_portable_copy_the_user_may_write_keeps_the_file_beside_else_config) {
  const fs::path users = "/home/u/.config/bolta/Bolta.ini", roots = "/root/.config/bolta/Bolta.ini";
  const struct {
    fs::path executable;
    bool writable;
    std::string home, prefix, xdg;
    fs::path file;  // empty: beside the executable
  } rows[] = {
      {"/home/u/bolta/bolta", true, "/home/u", "/usr/local", "", ""},
      {"/home/u/bolta/bolta", false, "/home/u", "/usr/local", "", users},
      {"/usrx/bolta", true, "/home/u", "/usr/local", "", ""},
      // Root may write the system's program folders, and must not.
      {"/usr/bin/bolta", true, "/root", "/usr/local", "", roots},
      {"/usr/local/bin/bolta", true, "/root", "/usr/local", "", roots},
      {"/opt/bolta/bolta", true, "/root", "/usr/local", "", roots},
      {"/srv/apps/bin/bolta", true, "/root", "/srv/apps/", "", roots},
      {"/srv/apps/bin/bolta", true, "/root", "/usr/local", "", ""},
      // A prefix in the home folder installs a copy of one's own; not so for another user.
      {"/home/u/.local/bin/bolta", true, "/home/u", "/home/u/.local", "", ""},
      {"/home/u/.local/bin/bolta", true, "/root", "/home/u/.local", "", roots},
      // Only an absolute XDG folder counts; with no folder of the user's at all the file stays
      // where it was (and writes fail).
      {"/opt/tools/viewer", false, "/home/u", "/usr/local", "/cfg", "/cfg/bolta/Bolta.ini"},
      {"/opt/tools/viewer", false, "/home/u", "/usr/local", "relative/cfg", users},
      {"/opt/tools/viewer", false, "", "/usr/local", "", ""},
  };
  for (const auto& row : rows) {
    const SettingsLocation location = ChooseSettingsLocation(
        row.executable,
        {row.xdg, row.home, row.prefix, [&](const fs::path&) { return row.writable; }});
    const fs::path beside = row.executable.parent_path() / "Bolta.ini";
    EXPECT_EQ(location.file, row.file.empty() ? beside : row.file)
        << row.executable << " " << row.writable << " " << row.home << " " << row.xdg;
    EXPECT_EQ(location.defaults, row.file.empty() ? std::nullopt : std::optional(beside));
  }
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
  EXPECT_TRUE(environment.mayReplaceFilesIn(fs::temp_directory_path()));
  EXPECT_FALSE(environment.mayReplaceFilesIn("/no/such/folder"));
  EXPECT_EQ(ExecutablePath().filename(), "bolta_core_tests");
}

#include "app/settings_path.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

using namespace bolta;
namespace fs = std::filesystem;

namespace {

const fs::path kExecutable = "/opt/tools/viewer";

SettingsEnvironment Environment(bool writable, std::string xdg, std::string home = "/home/u") {
  return {std::move(xdg), std::move(home), [writable](const fs::path& folder) {
            EXPECT_EQ(folder, "/opt/tools");
            return writable;
          }};
}

}  // namespace

TEST(SettingsPathTest, a_folder_the_user_may_write_keeps_the_file_beside_the_executable) {
  const SettingsLocation location = ChooseSettingsLocation(kExecutable, Environment(true, "/x"));
  EXPECT_EQ(location.file, "/opt/tools/Bolta.ini");
  EXPECT_FALSE(location.defaults);
}

TEST(SettingsPathTest, a_read_only_folder_sends_the_file_to_the_users_config_folder) {
  // environment, the file it gives
  const std::pair<SettingsEnvironment, fs::path> rows[] = {
      {Environment(false, "/cfg"), "/cfg/bolta/Bolta.ini"},
      {Environment(false, ""), "/home/u/.config/bolta/Bolta.ini"},
      {Environment(false, "relative/cfg"), "/home/u/.config/bolta/Bolta.ini"},
  };
  for (const auto& [environment, file] : rows) {
    const SettingsLocation location = ChooseSettingsLocation(kExecutable, environment);
    EXPECT_EQ(location.file, file) << environment.xdgConfigHome;
    // The file beside the executable holds the defaults an administrator put there.
    EXPECT_EQ(location.defaults, fs::path("/opt/tools/Bolta.ini"));
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
  EXPECT_TRUE(environment.mayReplaceFilesIn(fs::temp_directory_path()));
  EXPECT_FALSE(environment.mayReplaceFilesIn("/no/such/folder"));
  EXPECT_EQ(ExecutablePath().filename(), "bolta_core_tests");
}

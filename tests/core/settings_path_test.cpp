#include "app/settings_path.h"

#include <gtest/gtest.h>

namespace bolta {
namespace {

TEST(SettingsPath, is_the_executables_directory_and_the_application_title) {
  EXPECT_EQ(SettingsPathFor("/opt/tools/viewer"), "/opt/tools/Bolta.ini");
  EXPECT_EQ(SettingsPathFor("/opt/tools/bolta.bin"), "/opt/tools/Bolta.ini");
}

TEST(SettingsPath, executable_path_names_the_running_test_binary) {
  EXPECT_EQ(ExecutablePath().filename(), "bolta_core_tests");
}

}  // namespace
}  // namespace bolta

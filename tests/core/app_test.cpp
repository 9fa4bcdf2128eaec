// The settings store on real files, and where the settings file lives.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "app/settings_path.h"
#include "app/settings_store.h"
#include "util/temp_settings.h"

namespace bolta {
namespace {

namespace fs = std::filesystem;

class SettingsStoreTest : public testing::Test {
 protected:
  void Put(const std::string& bytes) { std::ofstream(store_.path(), std::ios::binary) << bytes; }
  std::string Contents(const fs::path& file) const {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::string Contents() const { return Contents(store_.path()); }
  ptrdiff_t FilesBeside() const {
    return std::distance(fs::directory_iterator(store_.path().parent_path()), {});
  }
  TempSettings temp_;
  SettingsStore& store_ = temp_.store();
};

// Runs `body` in a child process (killed after 60 s) and `meanwhile` in this one; true when the
// child's body returned true.
bool WithChild(const std::function<bool()>& body, const std::function<void()>& meanwhile = {}) {
  const pid_t child = ::fork();
  if (child == 0) ::alarm(60), ::_exit(!body());
  if (meanwhile) meanwhile();
  int status = 1;
  return child > 0 && ::waitpid(child, &status, 0) == child && status == 0;
}

TEST_F(SettingsStoreTest, reads_by_the_lookup_and_number_rules) {
  // clang-format off
  Put("before_any_section=1\n[other]\nother_section=7\n[ bolta ]\nOther_Case_z=-8\r\n#hash=1\n"
      "  blanks_around  =\t 12 \t\r\ntext=abc\nplus=+5\ndigits_then_text=42px\nempty=\n"
      "hexadecimal=0x1F\nabove_64_bits=9223372036854775808\nbelow_32_bits=-99999999999\n"
      "lowest=-2147483648\nfirst_of_two=1\n;semicolon=3\nfirst_of_two=2\ncp932=\x83v\x83\\\n"
      "cut_at_4095=" + std::string(5000, 'x') + "\n[BOLTA]\nsecond_section=5");
  // key, named after its rule; the number read with default 99; the text read with default "d"
  const std::tuple<const char*, int32_t, std::string> rows[] = {
      {"OTHER_CASE_Z", -8, "-8"}, {"blanks_around", 12, "12"}, {"text", 0, "abc"},
      {"plus", 5, "+5"}, {"digits_then_text", 42, "42px"}, {"empty", 99, ""},
      {"hexadecimal", 0, "0x1F"}, {"above_64_bits", INT32_MAX, "9223372036854775808"},
      {"lowest", INT32_MIN, "-2147483648"}, {"below_32_bits", INT32_MIN, "-99999999999"},
      {"first_of_two", 1, "1"}, {"cp932", 0, "\x83v\x83\\"}, {"missing", 99, "d"},
      {"cut_at_4095", 0, std::string(4095, 'x')}, {"before_any_section", 99, "d"},
      {"other_section", 99, "d"}, {"second_section", 99, "d"}, {"#hash", 99, "d"},
      {";semicolon", 99, "d"}};
  // clang-format on
  for (const auto& [key, number, text] : rows) {
    EXPECT_EQ(store_.GetProfileInt("bolta", key, 99), number) << key;
    EXPECT_EQ(store_.GetProfileString("BOLTA", key, "d"), text) << key;
  }
}

// How a write changes its line and keeps the others is the fuzz target's; where a new key goes
// and what the file keeps besides its bytes are not.
TEST_F(SettingsStoreTest, a_new_key_follows_the_sections_last_entry_and_the_file_keeps_its_rights) {
  Put("[BOLTA]\nA=1\n\n;C=1\n[X]\n");
  const auto owner = fs::perms::owner_read | fs::perms::owner_write;
  fs::permissions(store_.path(), owner);
  EXPECT_TRUE(store_.WriteProfileString("BOLTA", "C", "2"));
  EXPECT_EQ(Contents(), "[BOLTA]\nA=1\nC=2\r\n\n;C=1\n[X]\n");
  EXPECT_EQ(fs::status(store_.path()).permissions(), owner);
}

TEST_F(SettingsStoreTest, a_failed_write_returns_false_and_leaves_the_old_file_alone) {
  Put("[BOLTA]\r\nA=1\r\n");
  EXPECT_TRUE(WithChild([&] {  // a full disk, as far as the child can tell
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{256, 256};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 &&
           !store_.WriteProfileString("BOLTA", "A", std::string(1000, 'x'));
  }));
  EXPECT_EQ(Contents(), "[BOLTA]\r\nA=1\r\n");
  EXPECT_EQ(FilesBeside(), 2) << "the file and its lock, no temporary file";
}

TEST_F(SettingsStoreTest, two_processes_writing_at_once_lose_no_key) {
  const auto writeKeys = [&](char prefix) {
    bool written = true;
    for (int i = 0; i < 200; ++i)
      written &= store_.WriteProfileInt("BOLTA", prefix + std::to_string(i), i);
    return written;
  };
  ASSERT_TRUE(WithChild([&] { return writeKeys('A'); }, [&] { EXPECT_TRUE(writeKeys('B')); }));
  for (int i = 0; i < 200; ++i)
    for (char prefix : {'A', 'B'})
      EXPECT_EQ(store_.GetProfileInt("BOLTA", prefix + std::to_string(i), -1), i);
}

TEST_F(SettingsStoreTest, defaults_hold_until_the_first_write_starts_the_users_file_from_them) {
  const fs::path config = store_.path().parent_path() / "home" / ".config";
  Put("[BOLTA]\r\nTRANSPARENT=3\r\n");  // beside the executable, where the user may not write
  SettingsStore users(SettingsLocation{config / "bolta" / "Bolta.ini", store_.path()});
  EXPECT_EQ(users.GetProfileInt("BOLTA", "TRANSPARENT", 0), 3);
  ASSERT_TRUE(users.WriteProfileInt("BOLTA", "WINDOW_TOPMOST", 0));
  EXPECT_EQ(Contents(users.path()), "[BOLTA]\r\nTRANSPARENT=3\r\nWINDOW_TOPMOST=0\r\n");
  EXPECT_EQ(Contents(), "[BOLTA]\r\nTRANSPARENT=3\r\n");
  EXPECT_EQ(fs::status(config).permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(config / "bolta").permissions(), fs::perms::owner_all);
  // From now on the user's file alone counts.
  Put("[BOLTA]\r\nTRANSPARENT=7\r\n");
  EXPECT_EQ(users.GetProfileInt("BOLTA", "TRANSPARENT", 0), 3);
  ASSERT_TRUE(users.WriteProfileInt("BOLTA", "WINDOW_LEFT", 5));
  EXPECT_EQ(users.GetProfileInt("BOLTA", "WINDOW_TOPMOST", 1), 0);
}

// No regular file: it must neither hang the tool nor be replaced.
TEST_F(SettingsStoreTest, a_fifo_in_the_files_place_is_refused_and_kept) {
  ASSERT_EQ(::mkfifo(store_.path().c_str(), 0600), 0);
  EXPECT_FALSE(store_.WriteProfileInt("BOLTA", "A", 1));
  EXPECT_TRUE(fs::is_fifo(store_.path()));
}

TEST_F(SettingsStoreTest, a_failed_write_is_reported_once_with_the_file_and_the_reason) {
  Put("not a folder");
  const fs::path file = store_.path() / "bolta" / "Bolta.ini";
  std::vector<std::string> reports;
  SettingsStore users(SettingsLocation{file, std::nullopt},
                      [&](const fs::path& path, const std::string& reason) {
                        reports.push_back(path.string() + ": " + reason);
                      });
  EXPECT_FALSE(users.WriteProfileInt("BOLTA", "TRANSPARENT", 1));
  EXPECT_FALSE(users.WriteProfileString("BOLTA", "PROXY_PORT", "8080"));
  EXPECT_EQ(reports, std::vector{file.string() + ": " + std::strerror(ENOTDIR)});
}

// A writer killed after creating its temporary file leaves it behind: the next write goes on.
TEST_F(SettingsStoreTest, a_temporary_file_left_by_a_killed_writer_is_removed_by_the_next_write) {
  const fs::path temporary = fs::path(store_.path()) += ".tmp";
  std::ofstream(temporary) << "[BOLTA]\r\nHALF";
  EXPECT_TRUE(store_.WriteProfileInt("BOLTA", "K0", 0));
  EXPECT_FALSE(fs::exists(temporary));
  EXPECT_EQ(Contents(), "[BOLTA]\r\nK0=0\r\n");
}

TEST(SettingsPathTest, only_a_portable_copy_the_user_may_write_keeps_the_file_beside_else_config) {
  const fs::path users = "/home/u/.config/bolta/Bolta.ini", roots = "/root/.config/bolta/Bolta.ini";
  // the executable, the user may write beside it, HOME, the install prefix, XDG_CONFIG_HOME, and
  // the file chosen (empty: beside the executable)
  const std::tuple<fs::path, bool, std::string, std::string, std::string, fs::path> rows[] = {
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
  for (const auto& [executable, writable, home, prefix, xdg, file] : rows) {
    const SettingsLocation location = ChooseSettingsLocation(
        executable,
        {xdg, home, prefix, [writable = writable](const fs::path&) { return writable; }});
    const fs::path beside = executable.parent_path() / "Bolta.ini";
    EXPECT_EQ(location.file, file.empty() ? beside : file)
        << executable << " " << writable << " " << home << " " << xdg;
    EXPECT_EQ(location.defaults, file.empty() ? std::nullopt : std::optional(beside));
  }
}

TEST(SettingsPathTest, the_process_environment_gives_the_variables_and_the_real_access_check) {
  ::setenv("XDG_CONFIG_HOME", "/somewhere/cfg", 1);  // no other test reads it
  const SettingsEnvironment environment = ProcessSettingsEnvironment();
  EXPECT_EQ(environment.xdgConfigHome, "/somewhere/cfg");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(ProcessSettingsEnvironment().xdgConfigHome, "");
  EXPECT_TRUE(environment.mayReplaceFilesIn(fs::temp_directory_path()));
  EXPECT_FALSE(environment.mayReplaceFilesIn("/no/such/folder"));
  EXPECT_EQ(ExecutablePath().filename(), "bolta_core_tests");
}

}  // namespace
}  // namespace bolta

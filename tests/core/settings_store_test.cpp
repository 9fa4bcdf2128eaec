#include "app/settings_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <random>

#include "util/temp_settings.h"

using namespace bolta;

class SettingsStoreTest : public ::testing::Test {
 protected:
  void Put(const std::string& bytes) { std::ofstream(store_.path(), std::ios::binary) << bytes; }
  std::string Contents() {
    std::ifstream file(store_.path(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
  }
  TempSettings temp_;
  SettingsStore& store_ = temp_.store();
};

// Runs `body` in a child process (killed after 60 s) and `meanwhile` in this one; true when the
// child's body returned true.
static bool WithChild(const std::function<bool()>& body, std::function<void()> meanwhile = {}) {
  const pid_t child = ::fork();
  if (child == 0) ::alarm(60), ::_exit(!body());
  if (meanwhile) meanwhile();
  int status = 1;
  return child > 0 && ::waitpid(child, &status, 0) == child && status == 0;
}

TEST_F(SettingsStoreTest, reads_by_the_lookup_and_number_rules) {
  // clang-format off
  Put("before_any_section=1\n[other]\nother_section=7\n[ bolta ]\nOther_Case_z=-8\r\n"
      "  blanks_around  =  12  \r\ntext=abc\nplus=+5\ndigits_then_text=42px\nempty=\n"
      "hexadecimal=0x1F\nabove_64_bits=9223372036854775808\nbelow_32_bits=-99999999999\n"
      "lowest=-2147483648\nfirst_of_two=1\n;first_of_two=3\nfirst_of_two=2\ncp932=\x83v\x83\\\n"
      "cut_at_4095=" + std::string(5000, 'x') + "\n[BOLTA]\nsecond_section=5");
  // key, named after its rule; the number read with default 99; the text read with default "d"
  const std::tuple<const char*, int32_t, std::string> rows[] = {
      {"OTHER_CASE_Z", -8, "-8"}, {"blanks_around", 12, "12"}, {"text", 0, "abc"}, {"plus", 5, "+5"},
      {"digits_then_text", 42, "42px"}, {"empty", 99, ""}, {"hexadecimal", 0, "0x1F"},
      {"above_64_bits", INT32_MAX, "9223372036854775808"}, {"lowest", INT32_MIN, "-2147483648"},
      {"below_32_bits", INT32_MIN, "-99999999999"}, {"first_of_two", 1, "1"}, {"cp932", 0, "\x83v\x83\\"},
      {"cut_at_4095", 0, std::string(4095, 'x')}, {"before_any_section", 99, "d"},
      {"other_section", 99, "d"}, {"second_section", 99, "d"}, {"missing", 99, "d"}};
  // clang-format on
  for (const auto& [key, number, text] : rows) {
    EXPECT_EQ(store_.GetProfileInt("bolta", key, 99), number) << key;
    EXPECT_EQ(store_.GetProfileString("BOLTA", key, "d"), text) << key;
  }
}

TEST_F(SettingsStoreTest, a_write_changes_one_line_and_keeps_every_other_byte) {
  EXPECT_EQ(store_.GetProfileInt("BOLTA", "C", 3), 3);  // no file yet
  // clang-format off
  const char* rows[][3] = {
      {"no file yet", "", "[BOLTA]\r\nC=2\r\n"},
      {"new key after the last entry", "[BOLTA]\nA=1\n\n;C=1\n[X]\n", "[BOLTA]\nA=1\nC=2\r\n\n;C=1\n[X]\n"},
      {"new section after no final newline", "; \x83\\", "; \x83\\\r\n[BOLTA]\r\nC=2\r\n"}};
  // clang-format on
  for (const auto& [name, before, after] : rows) {
    if (*before) Put(before);
    EXPECT_TRUE(store_.WriteProfileString("BOLTA", "C", "2")) << name;
    EXPECT_EQ(Contents(), after) << name;
  }
  const auto owner = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
  std::filesystem::permissions(store_.path(), owner);
  EXPECT_TRUE(store_.WriteProfileString("BOLTA", "C", "3"));
  EXPECT_EQ(std::filesystem::status(store_.path()).permissions(), owner) << "kept";
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
  // No temporary file is left beside the settings file and its lock.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(store_.path().parent_path()), {}), 2);
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
  const std::filesystem::path folder = store_.path().parent_path();
  const std::filesystem::path config = folder / "home" / ".config";
  Put("[BOLTA]\r\nTRANSPARENT=3\r\n");  // beside the executable, where the user may not write
  SettingsStore users(SettingsLocation{config / "bolta" / "Bolta.ini", store_.path()});
  EXPECT_EQ(users.GetProfileInt("BOLTA", "TRANSPARENT", 0), 3);
  EXPECT_EQ(users.GetProfileInt("BOLTA", "WINDOW_TOPMOST", 1), 1);

  ASSERT_TRUE(users.WriteProfileInt("BOLTA", "WINDOW_TOPMOST", 0));
  std::ifstream file(users.path(), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}),
            "[BOLTA]\r\nTRANSPARENT=3\r\nWINDOW_TOPMOST=0\r\n");
  EXPECT_EQ(Contents(), "[BOLTA]\r\nTRANSPARENT=3\r\n");
  for (const auto& made : {config, config / "bolta"}) {
    EXPECT_EQ(std::filesystem::status(made).permissions(), std::filesystem::perms::owner_all);
  }
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
  EXPECT_TRUE(std::filesystem::is_fifo(store_.path()));
}

TEST_F(SettingsStoreTest, a_failed_write_is_reported_once_with_the_file_and_the_reason) {
  Put("not a folder");
  const std::filesystem::path file = store_.path() / "bolta" / "Bolta.ini";
  std::vector<std::string> reports;
  SettingsStore users(SettingsLocation{file, std::nullopt},
                      [&](const std::filesystem::path& path, const std::string& reason) {
                        reports.push_back(path.string() + ": " + reason);
                      });
  EXPECT_FALSE(users.WriteProfileInt("BOLTA", "TRANSPARENT", 1));
  EXPECT_FALSE(users.WriteProfileString("BOLTA", "PROXY_PORT", "8080"));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], file.string() + ": " + std::strerror(ENOTDIR));
  EXPECT_EQ(Contents(), "not a folder");
}

// kill -9 at random moments of a writer: the file always parses, every key whose write returned
// true is there, and at most one temporary file is left, which the next write removes.
TEST_F(SettingsStoreTest, a_writer_killed_at_any_moment_loses_no_written_key) {
  const std::filesystem::path temporary = std::filesystem::path(store_.path()) += ".tmp";
  std::mt19937 random(11);
  int written = 0;  // keys K0 to K(written - 1) were confirmed
  for (int round = 0; round < 120; ++round) {
    int confirm[2];
    ASSERT_EQ(::pipe(confirm), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      for (int i = written;; ++i) {
        if (!store_.WriteProfileInt("BOLTA", "K" + std::to_string(i), i)) ::_exit(1);
        if (::write(confirm[1], &i, sizeof i) != sizeof i) ::_exit(1);
      }
    }
    ::close(confirm[1]);
    // Once the child has confirmed a write, however slow the machine: writes are under way.
    int i = 0;
    ASSERT_EQ(::read(confirm[0], &i, sizeof i), ssize_t(sizeof i));
    written = i + 1;
    ::usleep(random() % 15000);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    while (::read(confirm[0], &i, sizeof i) == sizeof i) written = i + 1;
    ::close(confirm[0]);

    std::string expected = "[BOLTA]\r\n";
    for (int i = 0; i < written; ++i)
      expected += "K" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    const std::string content = Contents();
    // A write that was under way may have got through before its confirmation.
    ASSERT_TRUE(content == expected || content == expected + "K" + std::to_string(written) + "=" +
                                                      std::to_string(written) + "\r\n")
        << "round " << round << ": "
        << content.substr(content.size() > 60 ? content.size() - 60 : 0);
    // The file, its lock and perhaps one temporary file.
    ASSERT_LE(std::distance(std::filesystem::directory_iterator(store_.path().parent_path()), {}),
              3);
  }
  std::ofstream(temporary) << "left by a killed writer";
  EXPECT_TRUE(store_.WriteProfileInt("BOLTA", "K0", 0));
  EXPECT_FALSE(std::filesystem::exists(temporary));
}

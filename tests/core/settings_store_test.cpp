#include "app/settings_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>

namespace bolta {
namespace {

namespace fs = std::filesystem;

fs::path FreshDirectory() {
  std::string pattern = (fs::temp_directory_path() / "bolta-store-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary directory");
  return pattern;
}

class SettingsStoreTest : public ::testing::Test {
 protected:
  ~SettingsStoreTest() override { fs::remove_all(dir_); }

  fs::path Ini() const { return dir_ / "Bolta.ini"; }
  void Put(std::string_view bytes) const { std::ofstream(Ini(), std::ios::binary) << bytes; }
  std::string Contents() const {
    std::ostringstream bytes;
    bytes << std::ifstream(Ini(), std::ios::binary).rdbuf();
    return bytes.str();
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename());
    std::ranges::sort(names);
    return names;
  }

  const fs::path dir_ = FreshDirectory();
  SettingsStore store_{dir_ / "Bolta.ini"};
};

// Runs `body` in a child process that dies after 60 s if it hangs; true when it returned true.
pid_t Spawn(const std::function<bool()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(60);
    ::_exit(body() ? 0 : 1);
  }
  return pid;
}
bool Succeeded(pid_t pid) {
  int status = 0;
  return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

constexpr std::string_view kHandEdited =
    "ORPHAN=1\r\n"
    "; hand-edited\r\n"
    "[other]\r\nTRANSPARENT=7\r\n"
    "[bolta]\n"
    "window_left=-8\r\n  WINDOW_TOP  =  12  \r\nTRANSPARENT=abc\r\nUSE_PROXY=yes\r\nPLUS=+5\r\n"
    "TRAILING=42px\r\nEMPTY=\r\nHUGE=99999999999\r\nTINY=-99999999999\r\n"
    "MIN=-2147483648\r\nHEX=0x1F\r\nDUP=1\r\n;DUP=3\r\nDUP=2\r\n"
    "PROXY_ADDRESS= proxy.example \r\nNAME=\x83v\x83\x8d\x83L\x83V\r\n"
    "[BOLTA]\r\nLATER=5";

TEST_F(SettingsStoreTest, reads_integers_by_the_lookup_and_number_rules) {
  Put(kHandEdited);
  const struct {
    const char* name;
    const char* key;
    int32_t expected;  // 99 is the default
  } rows[] = {
      {"key in other letter case, negative", "WINDOW_LEFT", -8},
      {"blanks around key and value", "WINDOW_TOP", 12},
      {"text reads 0, not the default", "TRANSPARENT", 0},
      {"yes reads 0", "USE_PROXY", 0},
      {"plus sign", "PLUS", 5},
      {"text after the digits", "TRAILING", 42},
      {"present but empty reads the default", "EMPTY", 99},
      {"above 32 bits is the largest", "HUGE", INT32_MAX},
      {"below 32 bits is the smallest", "TINY", INT32_MIN},
      {"smallest exactly", "MIN", INT32_MIN},
      {"no hexadecimal", "HEX", 0},
      {"first of two entries, comment skipped", "DUP", 1},
      {"missing key", "WINDOW_BOTTOM", 99},
      {"entry before any section", "ORPHAN", 99},
      {"second section of the same name", "LATER", 99},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(store_.GetProfileInt("BOLTA", row.key, 99), row.expected) << row.name;
  }
  EXPECT_EQ(store_.GetProfileInt("Missing", "WINDOW_LEFT", 3), 3);
  EXPECT_EQ(store_.GetProfileString("BOLTA", "PROXY_ADDRESS"), "proxy.example");
  EXPECT_EQ(store_.GetProfileString("BOLTA", "NAME"), "\x83v\x83\x8d\x83L\x83V");
  EXPECT_EQ(store_.GetProfileString("BOLTA", "EMPTY", "d"), "");
  EXPECT_EQ(store_.GetProfileString("BOLTA", "PROXY_PORT", "d"), "d");
  EXPECT_EQ(store_.GetProfileString("BOLTA", "PROXY_PORT"), "");
}

TEST_F(SettingsStoreTest, strings_are_cut_to_4095_bytes) {
  Put("[BOLTA]\r\nLONG=" + std::string(5000, 'x') + "\r\nFULL=" + std::string(4095, 'y'));
  EXPECT_EQ(store_.GetProfileString("BOLTA", "LONG"), std::string(4095, 'x'));
  EXPECT_EQ(store_.GetProfileString("BOLTA", "FULL"), std::string(4095, 'y'));
}

TEST_F(SettingsStoreTest, reads_of_a_missing_file_give_defaults_and_create_nothing) {
  EXPECT_EQ(store_.GetProfileInt("BOLTA", "WINDOW_TOPMOST", 1), 1);
  EXPECT_EQ(store_.GetProfileString("BOLTA", "PROXY_ADDRESS"), "");
  EXPECT_TRUE(Names().empty());
}

TEST_F(SettingsStoreTest, first_writes_create_the_section_with_keys_in_order) {
  ASSERT_TRUE(store_.WriteProfileInt("BOLTA", "TRANSPARENT", 3));
  EXPECT_EQ(Contents(), "[BOLTA]\r\nTRANSPARENT=3\r\n");
  for (const char* key : {"WINDOW_LEFT", "WINDOW_TOP", "WINDOW_RIGHT", "WINDOW_BOTTOM"}) {
    ASSERT_TRUE(store_.WriteProfileInt("BOLTA", key, -8));
  }
  ASSERT_TRUE(store_.WriteProfileInt("BOLTA", "WINDOW_TOPMOST", 1));
  ASSERT_TRUE(store_.WriteProfileString("BOLTA", "PROXY_ADDRESS", ""));
  EXPECT_EQ(Contents(),
            "[BOLTA]\r\nTRANSPARENT=3\r\nWINDOW_LEFT=-8\r\nWINDOW_TOP=-8\r\nWINDOW_RIGHT=-8\r\n"
            "WINDOW_BOTTOM=-8\r\nWINDOW_TOPMOST=1\r\nPROXY_ADDRESS=\r\n");
  EXPECT_EQ(store_.GetProfileInt("BOLTA", "WINDOW_LEFT", 0), -8);
}

TEST_F(SettingsStoreTest, a_write_changes_one_line_and_keeps_every_other_byte) {
  const struct {
    const char* name;
    std::string before, after;
  } rows[] = {
      {"replaced in place", "; c\r\n[BOLTA]\r\nA=1\r\nC=1\r\n[X]\r\nC=9\r\n",
       "; c\r\n[BOLTA]\r\nA=1\r\nC=2\r\n[X]\r\nC=9\r\n"},
      {"other-case key and section updated with their blanks", "[bolta]\nc = 5 \n",
       "[bolta]\nc = 2\n"},
      {"new key after the last entry, before what leads to the next section",
       "[BOLTA]\r\nA=1\r\n\r\n;C=1\r\n[X]\r\n", "[BOLTA]\r\nA=1\r\nC=2\r\n\r\n;C=1\r\n[X]\r\n"},
      {"new key in an empty section", "[BOLTA]\r\n[X]\r\n", "[BOLTA]\r\nC=2\r\n[X]\r\n"},
      {"only the first section of the name", "[BOLTA]\r\n[BOLTA]\r\nC=1\r\n",
       "[BOLTA]\r\nC=2\r\n[BOLTA]\r\nC=1\r\n"},
      {"new section after a last line without newline", "[X]\r\nY=\x83\x5c",
       "[X]\r\nY=\x83\x5c\r\n[BOLTA]\r\nC=2\r\n"},
      {"new key after a last line without newline", "[BOLTA]\r\nA=1", "[BOLTA]\r\nA=1\r\nC=2\r\n"},
      {"replaced last line stays without newline", "[BOLTA]\nC=1", "[BOLTA]\nC=2"},
      {"LF lines stay LF", "[BOLTA]\nA=1\n[X]\nZ=1\n", "[BOLTA]\nA=1\nC=2\r\n[X]\nZ=1\n"},
      {"empty file", "", "[BOLTA]\r\nC=2\r\n"},
  };
  for (const auto& row : rows) {
    Put(row.before);
    EXPECT_TRUE(store_.WriteProfileString("BOLTA", "C", "2")) << row.name;
    EXPECT_EQ(Contents(), row.after) << row.name;
  }
}

TEST_F(SettingsStoreTest, text_that_would_break_the_lines_is_refused) {
  Put("[BOLTA]\r\nA=1\r\n");
  EXPECT_FALSE(store_.WriteProfileString("BOLTA", "A", "x\r\n[EVIL]"));
  EXPECT_FALSE(store_.WriteProfileString("BOLTA", "A=B", "x"));
  EXPECT_FALSE(store_.WriteProfileString("BOL]TA", "A", "x"));
  EXPECT_EQ(Contents(), "[BOLTA]\r\nA=1\r\n");
}

TEST_F(SettingsStoreTest, random_writes_keep_every_other_line_and_read_back) {
  const std::string head = "; top\r\n[Other]\r\nK1=other section\r\n\r\n[bolta]\r\n";
  const std::string tail = "#K2=commented\r\n\r\n[Tail]\r\nX=\x83\x5c\x83\x5d";
  const char* pieces[] = {"a", "Z", "7", "-", "=", ";", "[", "]", "a b", "\x83\x5c", "\x81\x40"};
  for (unsigned seed = 1; seed <= 8; ++seed) {
    Put(head + "k1 = 1\r\n" + tail);
    std::mt19937 random(seed);
    std::map<int, std::string> expected = {{1, "1"}};
    for (int step = 0; step < 30; ++step) {
      const int n = static_cast<int>(random() % 6);
      const std::string key = (random() % 2 ? "K" : "k") + std::to_string(n);
      std::string value;
      if (random() % 3 == 0) {
        const auto number = static_cast<int32_t>(random());
        ASSERT_TRUE(store_.WriteProfileInt("BOLTA", key, number));
        value = std::to_string(number);
      } else {
        for (auto length = random() % 5; length > 0; --length) value += pieces[random() % 11];
        ASSERT_TRUE(store_.WriteProfileString("BOLTA", key, value));
      }
      expected[n] = value;
    }
    const std::string after = Contents();
    ASSERT_TRUE(after.starts_with(head) && after.ends_with(tail)) << after;
    const auto middle = after.substr(head.size(), after.size() - head.size() - tail.size());
    EXPECT_EQ(std::ranges::count(middle, '\n'), static_cast<long>(expected.size())) << middle;
    for (const auto& [n, value] : expected) {
      EXPECT_EQ(store_.GetProfileString("BOLTA", "K" + std::to_string(n)), value) << seed;
    }
    EXPECT_EQ(store_.GetProfileString("Other", "K1"), "other section");
  }
}

TEST_F(SettingsStoreTest, a_replacement_keeps_the_permissions_and_follows_a_link) {
  fs::create_directory(dir_ / "real");
  std::ofstream(dir_ / "real" / "Bolta.ini") << "[BOLTA]\r\nA=1\r\n";
  fs::permissions(dir_ / "real" / "Bolta.ini", fs::perms(0640));
  fs::create_symlink(dir_ / "real" / "Bolta.ini", Ini());
  ASSERT_TRUE(store_.WriteProfileInt("BOLTA", "A", 2));
  EXPECT_TRUE(fs::is_symlink(Ini()));
  EXPECT_EQ(Contents(), "[BOLTA]\r\nA=2\r\n");
  EXPECT_EQ(fs::status(Ini()).permissions(), fs::perms(0640));
}

TEST_F(SettingsStoreTest, a_failed_write_returns_false_and_leaves_the_old_file) {
  EXPECT_FALSE(SettingsStore(dir_ / "absent" / "Bolta.ini").WriteProfileInt("BOLTA", "A", 1));
  EXPECT_FALSE(fs::exists(dir_ / "absent"));

  fs::create_directory(Ini());  // a settings path that cannot be read
  EXPECT_FALSE(store_.WriteProfileInt("BOLTA", "A", 1));
  EXPECT_EQ(store_.GetProfileInt("BOLTA", "A", 5), 5);
  EXPECT_TRUE(fs::is_directory(Ini()));
  fs::remove(Ini());

  // A full disk, as far as this process can tell: writes beyond 256 bytes fail.
  Put("[BOLTA]\r\nA=1\r\n");
  EXPECT_TRUE(Succeeded(Spawn([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{256, 256};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 &&
           !store_.WriteProfileString("BOLTA", "A", std::string(1000, 'x'));
  })));
  EXPECT_EQ(Contents(), "[BOLTA]\r\nA=1\r\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"Bolta.ini", "Bolta.ini.lock"}));
}

TEST_F(SettingsStoreTest, two_processes_writing_at_once_lose_no_key) {
  constexpr int kWrites = 200;
  const auto writer = [&](char prefix) {
    return [this, prefix] {
      for (int i = 0; i < kWrites; ++i) {
        if (!store_.WriteProfileInt("BOLTA", prefix + std::to_string(i), i)) return false;
      }
      return true;
    };
  };
  const pid_t first = Spawn(writer('A'));
  const pid_t second = Spawn(writer('B'));
  ASSERT_TRUE(Succeeded(first));
  ASSERT_TRUE(Succeeded(second));
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_EQ(store_.GetProfileInt("BOLTA", "A" + std::to_string(i), -1), i);
    EXPECT_EQ(store_.GetProfileInt("BOLTA", "B" + std::to_string(i), -1), i);
  }
}

}  // namespace
}  // namespace bolta

#include "mainwnd/proxy_settings_flow.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "app/settings_store.h"
#include "mainwnd/proxy_settings_exchange.h"
#include "res/resource.h"
#include "tests/mock/scripted_proxy_dialog.h"

namespace bolta {
namespace {

namespace fs = std::filesystem;

class TempIni {
 public:
  TempIni() {
    std::string pattern = (fs::temp_directory_path() / "bolta-proxy-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary directory");
    dir_ = pattern;
  }
  ~TempIni() { fs::remove_all(dir_); }

  fs::path path() const { return dir_ / "Bolta.ini"; }
  void Put(std::string_view bytes) const { std::ofstream(path(), std::ios::binary) << bytes; }
  std::string Contents() const {
    std::ostringstream bytes;
    bytes << std::ifstream(path(), std::ios::binary).rdbuf();
    return bytes.str();
  }

 private:
  fs::path dir_;
};

constexpr const char* kNoFile = nullptr;
constexpr std::string_view kStored =
    "[BOLTA]\r\nUSE_PROXY=1\r\nPROXY_ADDRESS=proxy.example\r\nPROXY_PORT=8080\r\n";

void TypeEverywhere(ProxySettingsControls& c) {
  c.address = "other.example";
  c.port = "3128";
  c.useProxy = !c.useProxy;
}

struct FlowCase {
  const char* name;
  const char* before;  // the settings file, or none
  std::function<void(ProxySettingsControls&)> edit;
  bool pressOk;
  std::string after;
};

const FlowCase kFlowCases[] = {
    {"a first start's cancel writes the three keys, in order, with their defaults",
     kNoFile,
     {},
     false,
     "[BOLTA]\r\nPROXY_ADDRESS=\r\nPROXY_PORT=\r\nUSE_PROXY=0\r\n"},
    {"changes then cancel store nothing new", kStored.data(), TypeEverywhere, false,
     std::string(kStored)},
    {"a cancelled flag above 2 is written as 0",
     "[BOLTA]\r\nUSE_PROXY=7\r\n",
     {},
     false,
     "[BOLTA]\r\nUSE_PROXY=0\r\nPROXY_ADDRESS=\r\nPROXY_PORT=\r\n"},
    {"a cancelled negative flag is written as 0",
     "[BOLTA]\r\nUSE_PROXY=-1\r\n",
     {},
     false,
     "[BOLTA]\r\nUSE_PROXY=0\r\nPROXY_ADDRESS=\r\nPROXY_PORT=\r\n"},
    {"a cancelled flag that is no number is written as 0",
     "[BOLTA]\r\nUSE_PROXY=yes\r\n",
     {},
     false,
     "[BOLTA]\r\nUSE_PROXY=0\r\nPROXY_ADDRESS=\r\nPROXY_PORT=\r\n"},
    {"a cancelled flag of 2 stays 2",
     "[BOLTA]\r\nUSE_PROXY=2\r\n",
     {},
     false,
     "[BOLTA]\r\nUSE_PROXY=2\r\nPROXY_ADDRESS=\r\nPROXY_PORT=\r\n"},
    {"OK stores the box and the texts as typed, letters in the port too", kNoFile,
     [](ProxySettingsControls& c) {
       c.address = "proxy.example";
       c.port = "80a";
       c.useProxy = true;
     },
     true, "[BOLTA]\r\nPROXY_ADDRESS=proxy.example\r\nPROXY_PORT=80a\r\nUSE_PROXY=1\r\n"},
    {"OK with the box cleared keeps the texts for later", kStored.data(),
     [](ProxySettingsControls& c) { c.useProxy = false; }, true,
     "[BOLTA]\r\nUSE_PROXY=0\r\nPROXY_ADDRESS=proxy.example\r\nPROXY_PORT=8080\r\n"},
    {"OK on a flag of 2 left alone stores the ticked box",
     "[BOLTA]\r\nUSE_PROXY=2\r\n",
     {},
     true,
     "[BOLTA]\r\nUSE_PROXY=1\r\nPROXY_ADDRESS=\r\nPROXY_PORT=\r\n"},
    {"OK on a flag above 2 left alone stores the clear box",
     "[BOLTA]\r\nUSE_PROXY=9\r\n",
     {},
     true,
     "[BOLTA]\r\nUSE_PROXY=0\r\nPROXY_ADDRESS=\r\nPROXY_PORT=\r\n"},
    {"OK with emptied fields stores them empty", kStored.data(),
     [](ProxySettingsControls& c) { c.address = c.port = ""; }, true,
     "[BOLTA]\r\nUSE_PROXY=1\r\nPROXY_ADDRESS=\r\nPROXY_PORT=\r\n"},
    {"Japanese typed in stores code page 932 bytes", kNoFile,
     [](ProxySettingsControls& c) { c.address = "代理.example"; }, true,
     "[BOLTA]\r\nPROXY_ADDRESS=\x91\xe3\x97\x9d.example\r\nPROXY_PORT=\r\nUSE_PROXY=0\r\n"},
    {"an OK refused for a character without CP932 form stores what was read", kStored.data(),
     [](ProxySettingsControls& c) {
       c.address = "\xed\x95\x9c.example";  // a Hangul syllable
       c.useProxy = false;
     },
     true, std::string(kStored)},
};

TEST(ProxySettingsFlow, stores_what_the_dialog_leaves_in_the_members_however_it_closes) {
  for (const FlowCase& row : kFlowCases) {
    SCOPED_TRACE(row.name);
    TempIni ini;
    if (row.before) ini.Put(row.before);
    SettingsStore store(ini.path());
    ScriptedProxyDialog dialog;
    dialog.edit = row.edit;
    dialog.pressOk = row.pressOk;
    std::string whileOpen = "not opened";
    dialog.whileOpen = [&] { whileOpen = ini.Contents(); };

    RunProxySettingsCommand(store, dialog);

    EXPECT_EQ(whileOpen, row.before ? row.before : "") << "nothing is written while it is open";
    EXPECT_EQ(ini.Contents(), row.after);
  }
}

TEST(ProxySettingsFlow, opens_the_dialog_with_the_stored_values) {
  TempIni ini;
  ini.Put("[BOLTA]\r\nUSE_PROXY=5\r\nPROXY_ADDRESS=\x91\xe3\x97\x9d\r\nPROXY_PORT=80a\r\n");
  SettingsStore store(ini.path());
  ScriptedProxyDialog dialog;
  ProxySettingsControls shown;
  dialog.edit = [&](ProxySettingsControls& c) { shown = c; };

  RunProxySettingsCommand(store, dialog);

  ASSERT_TRUE(dialog.opened);
  EXPECT_EQ(dialog.opened->m_strProxyAddress, "\x91\xe3\x97\x9d");
  EXPECT_EQ(dialog.opened->m_strProxyPort, "80a");
  EXPECT_EQ(dialog.opened->m_bUseProxy, 5);
  EXPECT_EQ(shown.address, "代理");
  EXPECT_EQ(shown.port, "80a");
  EXPECT_FALSE(shown.useProxy);
}

TEST(ProxySettingsFlow, a_dialog_that_cannot_be_shown_writes_back_what_was_read) {
  TempIni ini;
  ini.Put("[BOLTA]\r\nUSE_PROXY=7\r\n");
  SettingsStore store(ini.path());
  ScriptedProxyDialog dialog;
  dialog.canShow = false;

  RunProxySettingsCommand(store, dialog);

  EXPECT_EQ(ini.Contents(), "[BOLTA]\r\nUSE_PROXY=7\r\nPROXY_ADDRESS=\r\nPROXY_PORT=\r\n");
}

TEST(ProxySettingsExchange, the_box_shows_the_flag_and_a_flag_outside_0_to_2_becomes_0) {
  const struct {
    const char* name;
    int32_t flag;
    bool ticked;
    int32_t flagAfter;
  } rows[] = {
      {"clear", 0, false, 0},           {"ticked", 1, true, 1},
      {"third state", 2, true, 2},      {"above 2", 3, false, 0},
      {"negative", -1, false, 0},       {"most negative", INT32_MIN, false, 0},
      {"largest", INT32_MAX, false, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ProxySettingsData data{"", "", row.flag};
    EXPECT_EQ(ExchangeIntoDialog(data).useProxy, row.ticked);
    EXPECT_EQ(data.m_bUseProxy, row.flagAfter);
  }
}

TEST(ProxySettingsExchange, edits_show_the_members_as_utf8) {
  ProxySettingsData data{"\x91\xe3\x97\x9d.example", "\xff", 0};
  const ProxySettingsControls shown = ExchangeIntoDialog(data);
  EXPECT_EQ(shown.address, "代理.example");
  EXPECT_EQ(shown.port, "\xef\xbf\xbd") << "a byte that is no character shows as U+FFFD";
}

TEST(ProxySettingsExchange, out_of_the_dialog_takes_storable_texts_and_refuses_the_rest) {
  const std::string longest(kMaxProfileStringBytes, 'a');
  const struct {
    const char* name;
    ProxySettingsData before;
    ProxySettingsControls typed;
    std::optional<ExchangeFailure> failure;
    ProxySettingsData after;
  } rows[] = {
      {"texts and box as typed",
       {"a", "1", 0},
       {"proxy.example", " 80 a", true},
       {},
       {"proxy.example", " 80 a", 1}},
      {"an untouched field keeps bytes that are no character",
       {"\xff", "\x81", 1},
       {"\xef\xbf\xbd", "\xef\xbf\xbd", true},
       {},
       {"\xff", "\x81", 1}},
      {"an untouched field keeps the second code of a twice-coded character",
       {"\xed\x40", "", 0},
       {"\xe7\xba\x8a", "", false},
       {},
       {"\xed\x40", "", 0}},
      {"the longest text the store gives back whole",
       {"", "", 0},
       {longest, "", false},
       {},
       {longest, "", 0}},
      {"a character without CP932 form",
       {"a", "1", 0},
       {"\xed\x95\x9c", "2", true},
       ExchangeFailure{IDC_PROXY_ADDRESS, TextProblem::kNoCp932Form},
       {"a", "1", 0}},
      {"text that is no UTF-8",
       {"a", "1", 0},
       {"a", "\xc3", true},
       ExchangeFailure{IDC_PROXY_PORT, TextProblem::kNoCp932Form},
       {"a", "1", 0}},
      {"a line break in the port",
       {"a", "1", 0},
       {"b", "80\n80", true},
       ExchangeFailure{IDC_PROXY_PORT, TextProblem::kLineBreak},
       {"a", "1", 0}},
      {"a carriage return in the address",
       {"a", "1", 0},
       {"b\r", "2", true},
       ExchangeFailure{IDC_PROXY_ADDRESS, TextProblem::kLineBreak},
       {"a", "1", 0}},
      {"a text the store would give back cut",
       {"a", "1", 0},
       {longest + "a", "2", true},
       ExchangeFailure{IDC_PROXY_ADDRESS, TextProblem::kTooLong},
       {"a", "1", 0}},
      {"both fail: the address is named first",
       {"a", "1", 0},
       {"\xed\x95\x9c", "\n", true},
       ExchangeFailure{IDC_PROXY_ADDRESS, TextProblem::kNoCp932Form},
       {"a", "1", 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ProxySettingsData data = row.before;
    const std::optional<ExchangeFailure> failure = ExchangeOutOfDialog(row.typed, data);
    ASSERT_EQ(failure.has_value(), row.failure.has_value());
    if (failure) {
      EXPECT_EQ(failure->controlId, row.failure->controlId);
      EXPECT_EQ(failure->problem, row.failure->problem);
    }
    EXPECT_EQ(data.m_strProxyAddress, row.after.m_strProxyAddress);
    EXPECT_EQ(data.m_strProxyPort, row.after.m_strProxyPort);
    EXPECT_EQ(data.m_bUseProxy, row.after.m_bUseProxy);
  }
}

}  // namespace
}  // namespace bolta

#include "mainwnd/proxy_settings_flow.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/settings_store.h"
#include "mock/scripted_proxy_dialog.h"
#include "util/temp_settings.h"

namespace bolta {
namespace {

using Edit = std::function<void(ProxySettingsControls&)>;
const std::string kStored =
    "[BOLTA]\r\nUSE_PROXY=1\r\nPROXY_ADDRESS=proxy.example\r\nPROXY_PORT=8080\r\n";
// A file with the flag first and empty texts.
std::string Flag(const char* flag) {
  return "[BOLTA]\r\nUSE_PROXY=" + std::string(flag) + "\r\nPROXY_ADDRESS=\r\nPROXY_PORT=\r\n";
}
// A file the flow wrote from none: address, port, flag.
std::string New(const std::string& address, const char* port, const char* flag) {
  return "[BOLTA]\r\nPROXY_ADDRESS=" + address + "\r\nPROXY_PORT=" + port +
         "\r\nUSE_PROXY=" + flag + "\r\n";
}
// The user sets all three controls.
Edit Type(std::string address, std::string port, bool box) {
  return [=](ProxySettingsControls& c) { c = {address, port, box}; };
}

TEST(ProxySettingsFlow, writes_address_port_then_flag_as_the_dialog_leaves_them_however_it_closes) {
  const std::string tooLong(kMaxProfileStringBytes + 1, 'a');
  const std::string odd = "\xff\xed\x40";  // no character, and a character with two codes
  const struct {
    const char* name;
    std::string before;  // the settings file, empty for none
    Edit edit;
    bool ok;
    std::string after;
  } rows[] = {
      {"a fresh install's cancel: empty, empty, 0", "", {}, false, New("", "", "0")},
      {"cancel writes back what was read", kStored, Type("other", "3128", false), false, kStored},
      {"cancel writes a flag above 2 as 0", Flag("7"), {}, false, Flag("0")},
      {"cancel writes a negative flag as 0", Flag("-1"), {}, false, Flag("0")},
      {"cancel keeps a flag of 2", Flag("2"), {}, false, Flag("2")},
      {"OK stores the box and the texts as typed", "", Type("p.test", " 80 a", true), true,
       New("p.test", " 80 a", "1")},
      {"OK on a flag of 2 left alone stores 1", Flag("2"), {}, true, Flag("1")},
      {"OK keeps an untouched field's bytes, even no character", New(odd, "", "0"),
       [](ProxySettingsControls& c) { c.port = "81"; }, true, New(odd, "81", "0")},
      {"OK stores edited Japanese in CP932", New("\x91\xe3\x97\x9d", "", "0"),
       [](ProxySettingsControls& c) { c.address += ".jp"; }, true,
       New("\x91\xe3\x97\x9d.jp", "", "0")},
      {"OK refused: a line break", kStored, Type("a", "80\n80", false), true, kStored},
      {"OK refused: a lone CR", kStored, Type("a\rb", "1", false), true, kStored},
      {"OK refused: the store would cut it", kStored, Type(tooLong, "1", false), true, kStored},
      {"OK stores the longest text", "", Type(tooLong.substr(1), "1", false), true,
       New(tooLong.substr(1), "1", "0")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TempSettings file;
    if (!row.before.empty()) std::ofstream(file.path(), std::ios::binary) << row.before;
    ScriptedProxyDialog dialog;
    dialog.edit = row.edit;
    dialog.pressOk = row.ok;
    RunProxySettingsCommand(file.store(), dialog);
    std::ostringstream after;
    after << std::ifstream(file.path(), std::ios::binary).rdbuf();
    EXPECT_EQ(after.str(), row.after);
  }
}

// The dialog puts the focus and its warning on the control the failure names.
TEST(ProxySettingsExchange, a_failure_names_the_first_control_whose_text_fails) {
  ProxySettingsData data;
  EXPECT_EQ(ExchangeOutOfDialog({"a", "8\n0", false}, data)->controlId, IDC_PROXY_PORT);
  EXPECT_EQ(ExchangeOutOfDialog({"\n", "8\n0", false}, data)->controlId, IDC_PROXY_ADDRESS);
}

}  // namespace
}  // namespace bolta

#pragma once
// A frame, a view and a document on the recording window layer, with a real settings file.
#include <gtest/gtest.h>

#include <fstream>

#include "app/bolta_doc.h"
#include "display/bolta_view.h"
#include "mainwnd/main_frame.h"
#include "mock/fakes.h"
#include "util/temp_settings.h"

namespace bolta {

using Calls = std::vector<std::string>;
using Stored = std::vector<std::pair<std::string, int32_t>>;
inline const Calls kFirstStart = {"EnableLayeredStyle", "SetWindowAlpha 0 255 2", "SetTopmost on",
                                  "AddTrayIcon 128"};
inline const std::string kTitle = "\x83j\x83\x85\x81[\x83X";  // a board title in CP932
inline const std::string kPark = "MoveWindow 10099,10049 100x10";

class WindowTest : public testing::Test {
 protected:
  WindowTest() {
    document.SetTitleChanged([this] { frame.OnUpdateFrameTitle(true); });
    frame.SetActiveDocument(&document);
    view.info = {"http://example.test/bg.png", "http://example.test/title.png", kTitle};
  }
  void Write(const Stored& stored) {
    for (const auto& [key, value] : stored) settings.WriteProfileInt(key::kSection, key, value);
  }
  // The settings file's "KEY=value" lines, in its order.
  Calls Saved() const {
    std::ifstream in(file.path(), std::ios::binary);
    Calls saved;
    for (std::string line; std::getline(in, line);)
      if (line.find('=') != std::string::npos) saved.push_back(line.substr(0, line.find('\r')));
    return saved;
  }

  TempSettings file;
  SettingsStore settings{file.path()};
  FakeWindowLayer layer;
  ScriptedProxyDialog proxyDialog;  // cancelled at once
  CMainFrame frame{layer, settings, proxyDialog};
  CBoltaDoc document;
  ClosedInternet internet;
  CBoltaView view{{layer, layer, frame, document, settings, internet}, {}};
};

}  // namespace bolta

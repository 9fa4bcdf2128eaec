#pragma once
// The signboard view: starts the retrieval, shows the signboard or a message page in the browser,
// parks the frame while a page loads and fits the frame to the page; left button drags, F5
// reloads and fits again.
#include <cstdint>
#include <optional>
#include <string>

#include "display/browser_control.h"
#include "display/page_message.h"
#include "retrieval/board_address.h"
#include "retrieval/fetch_signboard.h"
#include "retrieval/signboard_info.h"

namespace bolta {

class CBoltaDoc;
class CMainFrame;
class InternetOpener;
class SettingsStore;

// The window layer and the objects the view reaches.
struct ViewContext {
  BrowserControl& browser;
  ViewWindow& window;
  CMainFrame& frame;
  CBoltaDoc& document;
  SettingsStore& settings;
  InternetOpener& internet;
};

class CBoltaView : public SignboardPages {
 public:
  inline static constexpr int32_t kRefreshTimer = 1;
  inline static constexpr int32_t kRefreshIntervalMs = 100;

  // `commandLineAddress`: the first command-line argument, none when the tool was started without.
  CBoltaView(ViewContext context, std::optional<std::string> commandLineAddress);

  void OnInitialUpdate();
  // True when the message is consumed and must not reach the page.
  bool PreTranslateMessage(const Msg& msg);
  void OnDocumentComplete(const std::string& url);
  void OnTimer(int32_t id);

  void FetchSignboard(const std::string& address);
  void ShowSignboardPage() override;
  void ShowMessagePage(const std::string& message) override;
  void MoveOffScreen();
  void FitWindowToContent(bool withMargin);

  // What retrieval put here; `info.title` is what the next fit puts on the document.
  BoardAddress address;
  SignboardInfo info;

 private:
  ViewContext context_;
  std::optional<std::string> commandLineAddress_;
};

}  // namespace bolta

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
  // Runs from a navigation or an F5 until the page has been fitted.
  inline static constexpr int32_t kRefreshTimer = 1;
  inline static constexpr int32_t kRefreshIntervalMs = 100;
  // A first page still loading after this long is shown as far as it has come, so that the user
  // is never left without a window while a picture's server makes the page wait.
  inline static constexpr int32_t kShowWhileLoadingMs = 2000;

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
  // The frame comes out of its park where it was, as wide as its caption needs, while the page
  // goes on loading; the fit follows when the page completes.
  void ShowWhileLoading();

  // What retrieval put here; `info.title` is what the next fit puts on the document.
  BoardAddress address;
  SignboardInfo info;

 private:
  void Navigate(const std::string& page);
  void EndPark();

  ViewContext context_;
  std::optional<std::string> commandLineAddress_;
  bool shown_ = false;        // the frame has come out of a park before: the user sees a page
  int32_t loadingTicks_ = 0;  // timer ticks since the last navigation
};

}  // namespace bolta

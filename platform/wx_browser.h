#pragma once
// The view's browser and window on wxWebView (WebKitGTK): "about:" documents shown from memory,
// one document-complete per navigation once its pictures have loaded (never for the web view's
// own blank page or a refresh), the ready state, the body's scroll size, timers, and the page's
// input offered to the view's pre-translation before the page sees it.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "display/browser_control.h"
#include "display/page_message.h"
#include "platform/curl_proxy.h"

class wxTimer;
class wxWebView;
class wxWindow;
class wxWebViewEvent;
typedef struct _GtkWidget GtkWidget;
typedef union _GdkEvent GdkEvent;
typedef struct _GdkEventButton GdkEventButton;
typedef struct _GdkEventKey GdkEventKey;

namespace bolta {

class WxFrameWindow;

class WxBrowser final : public BrowserControl, public ViewWindow {
 public:
  struct Events {
    std::function<void(const std::string& url)> onDocumentComplete;
    std::function<void(int32_t id)> onTimer;
    std::function<bool(const Msg& msg)> preTranslateMessage;  // true: consumed
    std::function<void()> openSystemMenu;
    // The engine's process that draws the page has ended, `cause` says why; the next load starts
    // another.
    std::function<void(const std::string& cause)> onWebProcessEnded;
  };

  // The longest wait for a page's pictures: a picture server that hangs must not keep the frame
  // parked, so after this the page counts as loaded with whatever pictures have arrived.
  static constexpr int kPictureWaitMs = 10000;

  // Creates the web view filling `frame`'s client area; null when WebKit cannot be had. The page's
  // pictures go by `proxies`, or when none are given as the desktop's proxy settings say.
  static std::unique_ptr<WxBrowser> Create(WxFrameWindow& frame,
                                           const std::optional<ProxyRoutes>& proxies);
  ~WxBrowser();
  WxBrowser(const WxBrowser&) = delete;
  WxBrowser& operator=(const WxBrowser&) = delete;

  void SetEvents(Events events) { events_ = std::move(events); }

  void Navigate2(const std::string& url) override;
  void Refresh() override;
  ReadyState GetReadyState() const override;
  std::optional<HtmlDocument> GetHtmlDocument() const override;

  Rect GetClientRect() const override;
  void SetTimer(int32_t id, int32_t milliseconds) override;
  void KillTimer(int32_t id) override;

 private:
  enum class LoadKind { Navigation, Refresh };

  struct OwnDocument;

  WxBrowser(WxFrameWindow& frame, wxWebView* view);
  void Harden();
  void UseProxies(const ProxyRoutes& proxies);
  void WatchWebProcess();
  void ServeOwnDocuments();
  void StartLoad(LoadKind kind);
  void OnLoadEnded(const wxWebViewEvent& event);
  void CompleteLoad();
  // The script's string result; empty when it gave none or failed.
  std::string RunScript(const char* script) const;
  // Runs `handler` now, or after the script that is running returns: the script is waited for
  // in a nested event loop, and the logic must not be entered again from inside a fit.
  void Dispatch(std::function<void()> handler) const;
  // Sees every event of the process before GTK dispatches it, as a message loop's
  // pre-translation does; widgets' own handlers (wxWidgets' key handling among them) come later.
  static void PreTranslate(GdkEvent* event, void* self);
  bool IsOnFrame(GdkEvent* event) const;
  bool OnButton(const GdkEventButton& button);
  bool OnKey(const GdkEventKey& key);
  bool OfferInput(const std::optional<Msg>& msg);

  WxFrameWindow& frame_;
  wxWebView* view_;
  GtkWidget* native_;
  Events events_;
  std::map<int32_t, std::unique_ptr<wxTimer>> timers_;
  std::unique_ptr<wxTimer> pictureWait_;

  OwnDocument* document_ = nullptr;  // owned by the web context
  bool hasDocument_ = false;
  uint64_t loadSerial_ = 0;
  std::string loadUrl_;  // marks the load in progress: the web view's own loads carry others
  LoadKind loadKind_ = LoadKind::Navigation;
  bool loadComplete_ = false;

  mutable bool inScript_ = false;
  mutable std::vector<std::function<void()>> deferred_;
};

}  // namespace bolta

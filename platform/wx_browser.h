#pragma once
// The view's browser and window on wxWebView (WebKitGTK): "about:" documents shown from memory,
// each load measured once it has ended (its pictures loaded, or given up after a while), one
// document-complete per navigation after that measurement (never for the web view's own blank
// page or a refresh), the ready state, and the view's one timer.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "display/browser_control.h"
#include "platform/glib_ptr.h"

class wxTimer;
class wxWebView;
class wxWebViewEvent;
typedef struct _GtkWidget GtkWidget;
typedef struct _GCancellable GCancellable;
typedef struct _GAsyncResult GAsyncResult;
typedef struct _GObject GObject;

namespace bolta {

class OwnDocuments;
class WxFrameWindow;

class WxBrowser final : public BrowserControl, public ViewWindow {
 public:
  struct Events {
    std::function<void(const std::string& url)> onDocumentComplete;
    std::function<void(int32_t id)> onTimer;
    // The engine's process that draws the page has ended, `cause` says why; the next load starts
    // another.
    std::function<void(const std::string& cause)> onWebProcessEnded;
  };

  // The longest wait for a page's pictures: then those still missing are given up, their loads
  // stopped, and the page counts as loaded with their broken signs. F5 asks for them again.
  static constexpr int kPictureWaitMs = 30000;

  // Creates the web view filling `frame`'s client area, once the engine is prepared
  // (PrepareWebEngine); null when WebKit cannot be had.
  static std::unique_ptr<WxBrowser> Create(WxFrameWindow& frame);
  ~WxBrowser();
  WxBrowser(const WxBrowser&) = delete;
  WxBrowser& operator=(const WxBrowser&) = delete;

  void SetEvents(Events events) { events_ = std::move(events); }
  // The frame is closing: from now on no load, measurement or timer raises an event.
  void Close();

  void Navigate2(const std::string& url) override;
  void Refresh() override;
  ReadyState GetReadyState() const override;
  std::optional<HtmlDocument> GetHtmlDocument() const override;

  Rect GetClientRect() const override;
  void SetTimer(int32_t id, int32_t milliseconds) override;
  void KillTimer(int32_t id) override;

 private:
  enum class Load { None, Navigation, Refresh };
  enum class Stage { Loading, Measuring, Complete };

  WxBrowser(WxFrameWindow& frame, wxWebView* view);
  void WatchWebProcess();
  void StartLoad(Load kind);
  void OnLoadEnded(const wxWebViewEvent& event);
  void GiveUpPictures();
  // Runs the measuring script; the load completes when its answer comes.
  void Measure(bool givingUp);
  static void OnMeasured(GObject* web, GAsyncResult* result, void* self);
  void Complete(const std::string& measurement);

  WxFrameWindow& frame_;
  wxWebView* view_;
  GtkWidget* native_;
  std::unique_ptr<OwnDocuments> documents_;
  Events events_;
  bool closed_ = false;
  bool failureEnding_ = false;      // a load has failed: the end reported next is that load's
  std::unique_ptr<wxTimer> timer_;  // the view's timer
  int32_t timerId_ = 0;
  std::unique_ptr<wxTimer> pictureWait_;
  GObjectPtr<GCancellable> measuring_;  // the measurement under way, if any

  Load load_ = Load::None;
  Stage stage_ = Stage::Loading;
  HtmlDocument document_;  // as measured when the last load completed
};

}  // namespace bolta

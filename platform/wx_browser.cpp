#include "platform/wx_browser.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>
#include <wx/frame.h>
#include <wx/timer.h>
#include <wx/webview.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <string_view>
#include <utility>

#include "platform/own_documents.h"
#include "platform/webkit_setup.h"
#include "platform/wx_frame_window.h"
#include "res/encoding.h"

namespace bolta {
namespace {

constexpr std::string_view kAboutScheme = "about:";

// Host-side only: the page's own markup runs no script. Pictures given up (`givingUp`) were
// stopped and show nothing: each is pointed at an address that fails at once, so that it shows
// the broken sign as a picture whose server refused does, and that is waited for (a moment at
// most). The body is then measured as laid out without wrapping and without stretching to the
// view: at the size the view has while a page loads (the parked one, or the old page's through a
// reload) every line of the message page's text art could break, and a page without a document
// type fills the view. Last, how many pictures did not come.
constexpr const char* kMeasureFunction =
    "var gone=[...document.images].filter(i=>!(i.complete&&i.naturalWidth));"
    "if(givingUp)await Promise.race([new Promise(r=>setTimeout(r,1000)),Promise.all(gone.map("
    "i=>new Promise(r=>{i.addEventListener('error',r);i.addEventListener('load',r);"
    "i.src='bolta:gone';})))]);"
    "var b=document.body;if(!b)return '';"
    "var r=document.documentElement,k=[r.style.width,r.style.height,b.style.height];"
    "r.style.width=r.style.height=b.style.height='max-content';"
    "var s=r.scrollWidth+' '+r.scrollHeight;"
    "r.style.width=k[0];r.style.height=k[1];b.style.height=k[2];"
    "return s+' '+gone.length;";

// Window pixels that hold `pagePixels` of the page drawn at `scale`: never fewer, so nothing is
// cut off, and no extra pixel for the rounding error of the scale itself.
int32_t WindowPixels(int32_t pagePixels, double scale) {
  constexpr double kRoundingSlack = 1e-3;
  return static_cast<int32_t>(std::ceil(pagePixels * scale - kRoundingSlack));
}

// Window pixels per page pixel. The engine zooms the whole page by the screen's resolution against
// the web's 96 dots per inch (text scaling raises the resolution), and by its own zoom level. Read
// from the settings rather than from the view's size, which a resize may have changed since the
// page last saw it.
double PageScale(WebKitWebView* web) {
  constexpr double kWebDotsPerInch = 96.0;
  const double resolution = gdk_screen_get_resolution(gtk_widget_get_screen(GTK_WIDGET(web)));
  return (resolution > 0 ? resolution / kWebDotsPerInch : 1.0) *
         webkit_web_view_get_zoom_level(web);
}

// The web view's own first page; also the address the view is told of, which it never uses.
constexpr const char* kBlankPage = "about:blank";

}  // namespace

std::unique_ptr<WxBrowser> WxBrowser::Create(WxFrameWindow& frame) {
  if (!wxWebView::IsBackendAvailable(wxString(wxWebViewBackendWebKit))) return nullptr;
  wxWebView* view =
      wxWebView::New(frame.frame(), wxID_ANY, wxString(wxWebViewDefaultURLStr), wxDefaultPosition,
                     wxDefaultSize, wxString(wxWebViewBackendWebKit));
  if (view == nullptr || view->GetNativeBackend() == nullptr) return nullptr;
  return std::unique_ptr<WxBrowser>(new WxBrowser(frame, view));
}

WxBrowser::WxBrowser(WxFrameWindow& frame, wxWebView* view)
    : frame_(frame),
      view_(view),
      native_(static_cast<GtkWidget*>(view->GetNativeBackend())),
      documents_(std::make_unique<OwnDocuments>(WEBKIT_WEB_VIEW(native_))),
      timer_(std::make_unique<wxTimer>()),
      pictureWait_(std::make_unique<wxTimer>()) {
  view_->EnableContextMenu(false);
  view_->EnableAccessToDevTools(false);
  view_->EnableHistory(false);
  HardenWebView(WEBKIT_WEB_VIEW(native_));
  WatchWebProcess();
  view_->Bind(wxEVT_WEBVIEW_LOADED, [this](wxWebViewEvent& event) { OnLoadEnded(event); });
  view_->Bind(wxEVT_WEBVIEW_ERROR, [this](wxWebViewEvent& event) { OnLoadEnded(event); });
  view_->Bind(wxEVT_WEBVIEW_NAVIGATING, [this](wxWebViewEvent& event) {
    // Nothing may take the view anywhere but to our own documents.
    const std::string url = event.GetURL().utf8_string();
    const bool ownBlankPage = load_ == Load::None && url == kBlankPage;
    if (closed_ || (url != documents_->url() && !ownBlankPage)) event.Veto();
  });
  view_->Bind(wxEVT_WEBVIEW_NEWWINDOW, [](wxWebViewEvent&) { /* no popups */ });
  timer_->Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
    if (events_.onTimer) events_.onTimer(timerId_);
  });
  pictureWait_->Bind(wxEVT_TIMER, [this](wxTimerEvent&) { GiveUpPictures(); });
}

WxBrowser::~WxBrowser() {
  Close();
  if (native_ != nullptr) g_signal_handlers_disconnect_by_data(native_, this);
}

void WxBrowser::Close() {
  closed_ = true;
  timer_->Stop();
  pictureWait_->Stop();
  if (measuring_) g_cancellable_cancel(measuring_.get());
  events_ = {};
}

void WxBrowser::WatchWebProcess() {
  // The frame's destruction takes the view with it, before this object goes: the documents let go
  // of it while it is still alive.
  g_signal_connect(native_, "destroy", G_CALLBACK(+[](GtkWidget*, WxBrowser* self) {
                     self->Close();
                     self->documents_.reset();
                     self->native_ = nullptr;
                   }),
                   this);
  g_signal_connect(
      native_, "web-process-terminated",
      G_CALLBACK(+[](WebKitWebView*, WebKitWebProcessTerminationReason reason, WxBrowser* self) {
        if (!self->events_.onWebProcessEnded) return;
        self->events_.onWebProcessEnded(reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT
                                            ? "the web engine's process ran out of memory"
                                            : "the web engine's process ended unexpectedly");
      }),
      this);
}

void WxBrowser::Navigate2(const std::string& url) {
  if (closed_) return;
  // The view passes only "about:" documents; whatever follows the scheme is the page itself.
  std::string_view page(url);
  if (page.starts_with(kAboutScheme)) page.remove_prefix(kAboutScheme.size());
  const std::string& address = documents_->Serve(Cp932ToUtf8(page));
  StartLoad(Load::Navigation);
  view_->LoadURL(wxString::FromUTF8(address));
}

void WxBrowser::Refresh() {
  if (closed_ || load_ == Load::None) return;
  StartLoad(Load::Refresh);
  view_->Reload();
}

void WxBrowser::StartLoad(Load kind) {
  load_ = kind;
  stage_ = Stage::Loading;
  if (measuring_) g_cancellable_cancel(measuring_.get());
  measuring_.reset();
  pictureWait_->StartOnce(kPictureWaitMs);
}

void WxBrowser::OnLoadEnded(const wxWebViewEvent& event) {
  // The engine reports a failed load's end right after its failure. Our documents come from
  // memory: a load of ours fails only when the next one cuts it short, as a reload does (told as
  // cancelled or otherwise, and then the newer load may not have begun yet). Measured at that
  // end, the page would be caught half loaded or still showing the old pictures, and the newest
  // load's own end would come too late; a load that failed for good is measured at the pictures'
  // give-up. The web view's blank page is not ours either.
  if (event.GetEventType() == wxEVT_WEBVIEW_ERROR) {
    failureEnding_ = true;
    return;
  }
  if (std::exchange(failureEnding_, false)) return;
  if (!closed_ && stage_ == Stage::Loading && load_ != Load::None &&
      event.GetURL().utf8_string() == documents_->url()) {
    Measure(false);
  }
}

void WxBrowser::GiveUpPictures() {
  if (closed_ || stage_ != Stage::Loading) return;
  // The engine may or may not report the load's end after the stop: the page is measured now.
  webkit_web_view_stop_loading(WEBKIT_WEB_VIEW(native_));
  Measure(true);
}

void WxBrowser::Measure(bool givingUp) {
  stage_ = Stage::Measuring;
  pictureWait_->Stop();
  measuring_.reset(g_cancellable_new());
  GVariantDict arguments;
  g_variant_dict_init(&arguments, nullptr);
  // A number: the engine takes no truth value as an argument.
  g_variant_dict_insert(&arguments, "givingUp", "i", givingUp ? 1 : 0);
  webkit_web_view_call_async_javascript_function(WEBKIT_WEB_VIEW(native_), kMeasureFunction, -1,
                                                 g_variant_dict_end(&arguments), nullptr, nullptr,
                                                 measuring_.get(), &WxBrowser::OnMeasured, this);
}

void WxBrowser::OnMeasured(GObject* web, GAsyncResult* result, void* data) {
  g_autoptr(GError) error = nullptr;
  g_autoptr(JSCValue) value =
      webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(web), result, &error);
  // Cancelled: a newer load took its place, or the browser is gone; `data` may be dangling.
  if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) return;
  // The frame then comes back as it was, unfitted: say why.
  if (error != nullptr)
    std::cerr << "bolta: the page could not be measured: " << error->message << "\n";
  std::string measurement;
  if (value != nullptr && jsc_value_is_string(value)) {
    g_autofree char* text = jsc_value_to_string(value);
    measurement = text;
  }
  static_cast<WxBrowser*>(data)->Complete(measurement);
}

void WxBrowser::Complete(const std::string& measurement) {
  measuring_.reset();
  stage_ = Stage::Complete;
  document_ = {};
  int width = 0;
  int height = 0;
  int missing = 0;
  if (native_ != nullptr &&
      std::sscanf(measurement.c_str(), "%d %d %d", &width, &height, &missing) == 3) {
    // The scroll size is in the page's pixels, the frame is sized in the window's.
    const double scale = PageScale(WEBKIT_WEB_VIEW(native_));
    document_.bodyScrollSize = Size{WindowPixels(width, scale), WindowPixels(height, scale)};
    document_.pictureMissing = missing > 0;
  }
  if (load_ == Load::Navigation && events_.onDocumentComplete) {
    events_.onDocumentComplete(kBlankPage);
  }
}

ReadyState WxBrowser::GetReadyState() const {
  if (load_ == Load::None) return READYSTATE_UNINITIALIZED;
  return stage_ == Stage::Complete ? READYSTATE_COMPLETE : READYSTATE_LOADING;
}

std::optional<HtmlDocument> WxBrowser::GetHtmlDocument() const {
  if (load_ == Load::None) return std::nullopt;
  return document_;
}

Rect WxBrowser::GetClientRect() const {
  // The view fills the frame's client area.
  const Size client = frame_.ClientSize();
  return {0, 0, client.cx, client.cy};
}

void WxBrowser::SetTimer(int32_t id, int32_t milliseconds) {
  if (closed_) return;
  timerId_ = id;
  timer_->Start(milliseconds);
}

void WxBrowser::KillTimer(int32_t id) {
  if (id == timerId_) timer_->Stop();
}

}  // namespace bolta

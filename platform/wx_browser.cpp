#include "platform/wx_browser.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>
#include <wx/frame.h>
#include <wx/timer.h>
#include <wx/webview.h>

#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/page_input.h"
#include "platform/wx_frame_window.h"
#include "res/encoding.h"

namespace bolta {
namespace {

constexpr std::string_view kAboutScheme = "about:";

// Our own documents are served under a scheme of their own rather than handed over as text:
// the engine then reloads them as any page, asking the pictures' server again, where a document
// given as text is reloaded with the pictures it has in memory. The number after the scheme
// tells one navigation from the next.
constexpr const char* kOwnScheme = "bolta";

// Host-side only: the page's own markup runs no script. The body is measured as laid out
// without wrapping and without stretching to the view: at the size the view has while a page
// loads (the parked one, or the old page's through a reload) every line of the message page's
// text art could break, and a page without a document type fills the view. The viewport's
// width in the page's own pixels comes along: against the view's width in window pixels it gives
// the scale the engine draws at (text scaling zooms the whole page).
constexpr const char* kBodyScrollSizeScript =
    "(function(){var b=document.body;if(!b)return '';"
    "var r=document.documentElement,k=[r.style.width,r.style.height,b.style.height];"
    "r.style.width=r.style.height=b.style.height='max-content';"
    "var s=r.scrollWidth+' '+r.scrollHeight;"
    "r.style.width=k[0];r.style.height=k[1];b.style.height=k[2];"
    "var v=window.visualViewport;return s+' '+(v?v.width:window.innerWidth);})()";

// Window pixels that hold `pagePixels` of the page drawn at `scale`: never fewer, so nothing is
// cut off, and no extra pixel for the rounding error of the scale itself.
int32_t WindowPixels(int32_t pagePixels, double scale) {
  constexpr double kRoundingSlack = 1e-3;
  return static_cast<int32_t>(std::ceil(pagePixels * scale - kRoundingSlack));
}

// From fonts-ipafont-gothic: the face that stands in for the message page's Gothic face.
constexpr const char* kJapaneseGothicFamily = "IPAPGothic";

// The web view's own first page; also the address the view is told of, which it never uses.
constexpr const char* kBlankPage = "about:blank";

Modifiers ModifiersOf(const GdkEventKey& key) {
  Modifiers modifiers;
  modifiers.shift = (key.state & GDK_SHIFT_MASK) != 0;
  modifiers.control = (key.state & GDK_CONTROL_MASK) != 0;
  // The Alt key's own press does not carry the Alt state yet; the window system counts it.
  modifiers.alt = (key.state & GDK_MOD1_MASK) != 0 || key.keyval == GDK_KEY_Alt_L ||
                  key.keyval == GDK_KEY_Alt_R;
  return modifiers;
}

}  // namespace

// The document the web view is to show, under its address; owned by the web context, which
// outlives the browser object.
struct WxBrowser::OwnDocument {
  std::string url;
  std::string html;  // UTF-8
};

std::unique_ptr<WxBrowser> WxBrowser::Create(WxFrameWindow& frame,
                                             const std::optional<ProxyRoutes>& proxies) {
  if (!wxWebView::IsBackendAvailable(wxString(wxWebViewBackendWebKit))) return nullptr;
  wxWebView* view =
      wxWebView::New(frame.frame(), wxID_ANY, wxString(wxWebViewDefaultURLStr), wxDefaultPosition,
                     wxDefaultSize, wxString(wxWebViewBackendWebKit));
  if (view == nullptr || view->GetNativeBackend() == nullptr) return nullptr;
  std::unique_ptr<WxBrowser> browser(new WxBrowser(frame, view));
  // Only the web view's own blank page has loaded yet: nothing has gone to the network.
  if (proxies) browser->UseProxies(*proxies);
  return browser;
}

WxBrowser::WxBrowser(WxFrameWindow& frame, wxWebView* view)
    : frame_(frame),
      view_(view),
      native_(static_cast<GtkWidget*>(view->GetNativeBackend())),
      pictureWait_(std::make_unique<wxTimer>()) {
  Harden();
  ServeOwnDocuments();
  WatchWebProcess();
  g_signal_connect(native_, "destroy",
                   G_CALLBACK(+[](GtkWidget*, WxBrowser* self) { self->native_ = nullptr; }), this);
  gdk_event_handler_set(&WxBrowser::PreTranslate, this, nullptr);
  view_->Bind(wxEVT_WEBVIEW_LOADED, [this](wxWebViewEvent& event) { OnLoadEnded(event); });
  view_->Bind(wxEVT_WEBVIEW_ERROR, [this](wxWebViewEvent& event) { OnLoadEnded(event); });
  view_->Bind(wxEVT_WEBVIEW_NAVIGATING, [this](wxWebViewEvent& event) {
    // Nothing may take the view anywhere but to our own documents.
    const std::string url = event.GetURL().utf8_string();
    const bool ownBlankPage = loadSerial_ == 0 && url == kBlankPage;
    if (url != loadUrl_ && !ownBlankPage) event.Veto();
  });
  view_->Bind(wxEVT_WEBVIEW_NEWWINDOW, [](wxWebViewEvent&) { /* no popups */ });
  pictureWait_->Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
    Dispatch([this] {
      if (!loadComplete_) CompleteLoad();
    });
  });
}

WxBrowser::~WxBrowser() {
  gdk_event_handler_set(
      +[](GdkEvent* event, gpointer) { gtk_main_do_event(event); }, nullptr, nullptr);
  if (native_ != nullptr) g_signal_handlers_disconnect_by_data(native_, this);
}

void WxBrowser::Harden() {
  view_->EnableContextMenu(false);
  view_->EnableAccessToDevTools(false);
  view_->EnableHistory(false);
  WebKitWebView* web = WEBKIT_WEB_VIEW(native_);
  WebKitSettings* settings = webkit_web_view_get_settings(web);
  // Script elements and attributes are dropped while the page is parsed; the host's own script
  // (the scroll size) still runs.
  webkit_settings_set_enable_javascript_markup(settings, FALSE);
  webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
  webkit_settings_set_enable_developer_extras(settings, FALSE);
  // The message page asks for the Windows Japanese Gothic face, which Linux does not have by that
  // name; an unknown face falls back to the default family, so make that the Japanese Gothic
  // face Debian ships, and the text art keeps one face's metrics throughout.
  webkit_settings_set_default_font_family(settings, kJapaneseGothicFamily);
  webkit_settings_set_sans_serif_font_family(settings, kJapaneseGothicFamily);
  g_signal_connect(webkit_web_view_get_context(web), "download-started",
                   G_CALLBACK(+[](WebKitWebContext*, WebKitDownload* download) {
                     webkit_download_cancel(download);
                   }),
                   nullptr);
}

void WxBrowser::UseProxies(const ProxyRoutes& proxies) {
  std::vector<const char*> bypass;
  for (const std::string& host : proxies.bypass) bypass.push_back(host.c_str());
  bypass.push_back(nullptr);
  // Addresses of other schemes, which the page does not use, go straight.
  WebKitNetworkProxySettings* settings = webkit_network_proxy_settings_new(nullptr, bypass.data());
  if (!proxies.http.empty()) {
    webkit_network_proxy_settings_add_proxy_for_scheme(settings, "http", proxies.http.c_str());
  }
  if (!proxies.https.empty()) {
    webkit_network_proxy_settings_add_proxy_for_scheme(settings, "https", proxies.https.c_str());
  }
  webkit_website_data_manager_set_network_proxy_settings(
      webkit_web_view_get_website_data_manager(WEBKIT_WEB_VIEW(native_)),
      WEBKIT_NETWORK_PROXY_MODE_CUSTOM, settings);
  webkit_network_proxy_settings_free(settings);
}

void WxBrowser::WatchWebProcess() {
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

void WxBrowser::ServeOwnDocuments() {
  document_ = new OwnDocument;
  webkit_web_context_register_uri_scheme(
      webkit_web_view_get_context(WEBKIT_WEB_VIEW(native_)), kOwnScheme,
      +[](WebKitURISchemeRequest* request, gpointer data) {
        const auto* document = static_cast<const OwnDocument*>(data);
        // Only the document being shown: a picture address in our scheme gets nothing.
        if (document->url.empty() || document->url != webkit_uri_scheme_request_get_uri(request)) {
          GError* error = g_error_new_literal(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "not found");
          webkit_uri_scheme_request_finish_error(request, error);
          g_error_free(error);
          return;
        }
        const auto length = static_cast<gssize>(document->html.size());
        GInputStream* stream = g_memory_input_stream_new_from_data(
            g_memdup2(document->html.data(), length), length, g_free);
        WebKitURISchemeResponse* response = webkit_uri_scheme_response_new(stream, length);
        webkit_uri_scheme_response_set_content_type(response, "text/html; charset=utf-8");
        webkit_uri_scheme_request_finish_with_response(request, response);
        g_object_unref(response);
        g_object_unref(stream);
      },
      document_, +[](gpointer data) { delete static_cast<OwnDocument*>(data); });
}

void WxBrowser::Navigate2(const std::string& url) {
  // The view passes only "about:" documents; whatever follows the scheme is the page itself.
  std::string_view page(url);
  if (page.starts_with(kAboutScheme)) page.remove_prefix(kAboutScheme.size());
  ++loadSerial_;
  loadUrl_ = std::string(kOwnScheme) + ":" + std::to_string(loadSerial_);
  document_->url = loadUrl_;
  document_->html = Cp932ToUtf8(page);
  StartLoad(LoadKind::Navigation);
  view_->LoadURL(wxString::FromUTF8(loadUrl_));
}

void WxBrowser::Refresh() {
  if (!hasDocument_) return;
  StartLoad(LoadKind::Refresh);
  view_->Reload();
}

void WxBrowser::StartLoad(LoadKind kind) {
  loadKind_ = kind;
  loadComplete_ = false;
  hasDocument_ = true;
  pictureWait_->StartOnce(kPictureWaitMs);
}

void WxBrowser::OnLoadEnded(const wxWebViewEvent& event) {
  // A failed load has ended too; the web view's blank page and superseded loads are not ours.
  // A reload keeps the address: one cut short by the next is told by its cancellation.
  if (event.GetEventType() == wxEVT_WEBVIEW_ERROR &&
      event.GetInt() == wxWEBVIEW_NAV_ERR_USER_CANCELLED) {
    return;
  }
  const std::string url = event.GetURL().utf8_string();
  Dispatch([this, url] {
    if (url == loadUrl_ && !loadComplete_) CompleteLoad();
  });
}

void WxBrowser::CompleteLoad() {
  loadComplete_ = true;
  pictureWait_->Stop();
  if (loadKind_ == LoadKind::Navigation && events_.onDocumentComplete) {
    events_.onDocumentComplete(kBlankPage);
  }
}

ReadyState WxBrowser::GetReadyState() const {
  if (!hasDocument_) return READYSTATE_UNINITIALIZED;
  return loadComplete_ ? READYSTATE_COMPLETE : READYSTATE_LOADING;
}

std::optional<HtmlDocument> WxBrowser::GetHtmlDocument() const {
  if (!hasDocument_) return std::nullopt;
  if (inScript_) return HtmlDocument{};
  inScript_ = true;
  const std::string output = RunScript(kBodyScrollSizeScript);
  inScript_ = false;
  if (!deferred_.empty()) {
    view_->CallAfter([pending = std::move(deferred_)] {
      for (const auto& handler : pending) handler();
    });
    deferred_.clear();
  }
  HtmlDocument document;
  int width = 0;
  int height = 0;
  double viewportWidth = 0;
  if (std::sscanf(output.c_str(), "%d %d %lf", &width, &height, &viewportWidth) == 3) {
    // The scroll size is in the page's pixels, the frame is sized in the window's.
    const int allocated = gtk_widget_get_allocated_width(native_);
    const double scale = viewportWidth > 0 && allocated > 0 ? allocated / viewportWidth : 1.0;
    document.bodyScrollSize = Size{WindowPixels(width, scale), WindowPixels(height, scale)};
  }
  return document;
}

std::string WxBrowser::RunScript(const char* script) const {
  // The engine's own call, one round trip to the page (wxWidgets' wrapping costs more), waited
  // for in a nested loop as the interface's synchronous answer requires.
  struct Answer {
    bool done = false;
    std::string text;
  } answer;
  webkit_web_view_evaluate_javascript(
      WEBKIT_WEB_VIEW(native_), script, -1, nullptr, nullptr, nullptr,
      +[](GObject* view, GAsyncResult* result, gpointer data) {
        auto* answer = static_cast<Answer*>(data);
        JSCValue* value =
            webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, nullptr);
        if (value != nullptr) {
          if (jsc_value_is_string(value)) {
            char* text = jsc_value_to_string(value);
            answer->text = text;
            g_free(text);
          }
          g_object_unref(value);
        }
        answer->done = true;
      },
      &answer);
  while (!answer.done) g_main_context_iteration(nullptr, TRUE);
  return answer.text;
}

void WxBrowser::Dispatch(std::function<void()> handler) const {
  if (inScript_) {
    deferred_.push_back(std::move(handler));
  } else {
    handler();
  }
}

Rect WxBrowser::GetClientRect() const {
  // The view fills the frame's client area.
  const Size client = frame_.ClientSize();
  return {0, 0, client.cx, client.cy};
}

void WxBrowser::SetTimer(int32_t id, int32_t milliseconds) {
  std::unique_ptr<wxTimer>& timer = timers_[id];
  if (!timer) {
    timer = std::make_unique<wxTimer>();
    timer->Bind(wxEVT_TIMER, [this, id](wxTimerEvent&) {
      Dispatch([this, id] {
        // A tick held back by a running script may come after the timer was killed.
        if (timers_[id]->IsRunning() && events_.onTimer) events_.onTimer(id);
      });
    });
  }
  timer->Start(milliseconds);
}

void WxBrowser::KillTimer(int32_t id) {
  if (auto found = timers_.find(id); found != timers_.end()) found->second->Stop();
}

void WxBrowser::PreTranslate(GdkEvent* event, void* data) {
  auto* self = static_cast<WxBrowser*>(data);
  bool consumed = false;
  // While a modal dialog holds GTK's grab the frame takes no input: GTK drops it.
  GtkWidget* grab = gtk_grab_get_current();
  const bool modalElsewhere =
      grab != nullptr && gtk_widget_get_toplevel(grab) != self->frame_.toplevel();
  if (self->IsOnFrame(event) && !modalElsewhere) {
    // The frame's window system handles the event being offered (a drag starts from it).
    self->frame_.SetInputEvent(event);
    switch (event->type) {
      case GDK_BUTTON_PRESS:
      case GDK_2BUTTON_PRESS:
      case GDK_BUTTON_RELEASE:
        consumed = self->OnButton(event->button);
        break;
      case GDK_KEY_PRESS:
      case GDK_KEY_RELEASE:
        consumed = self->OnKey(event->key);
        break;
      default:
        break;
    }
    self->frame_.SetInputEvent(nullptr);
  }
  if (!consumed) gtk_main_do_event(event);
}

bool WxBrowser::IsOnFrame(GdkEvent* event) const {
  if (native_ == nullptr || event->any.window == nullptr) return false;
  GdkWindow* frame = gtk_widget_get_window(frame_.toplevel());
  return frame != nullptr && gdk_window_get_effective_toplevel(event->any.window) == frame;
}

bool WxBrowser::OnButton(const GdkEventButton& button) {
  // Input that arrives while a script runs (a nested loop inside a fit) is dropped.
  if (inScript_) return true;
  const bool pressed = button.type != GDK_BUTTON_RELEASE;
  if (button.button == 3) {
    // The frame's menu opens when the click ends, as context menus do; the page never sees it.
    if (!pressed && events_.openSystemMenu) events_.openSystemMenu();
    return true;
  }
  return OfferInput(ButtonMessage(pressed, button.type == GDK_2BUTTON_PRESS, button.button));
}

bool WxBrowser::OnKey(const GdkEventKey& key) {
  if (inScript_) return true;
  const bool pressed = key.type == GDK_KEY_PRESS;
  const Modifiers modifiers = ModifiersOf(key);
  if (pressed && OpensSystemMenu(key.keyval, modifiers)) {
    if (events_.openSystemMenu) events_.openSystemMenu();
    return true;
  }
  return OfferInput(KeyMessage(pressed, key.keyval, modifiers));
}

bool WxBrowser::OfferInput(const std::optional<Msg>& msg) {
  if (!msg || !events_.preTranslateMessage) return false;
  return events_.preTranslateMessage(*msg);
}

}  // namespace bolta

#include "app/bolta_app.h"

#include <wx/frame.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/thread.h>

#include <cstdlib>
#include <exception>
#include <iostream>
#include <utility>

#include "app/bolta_doc.h"
#include "app/proxy_setting.h"
#include "app/settings_path.h"
#include "app/settings_store.h"
#include "display/bolta_view.h"
#include "mainwnd/main_frame.h"
#include "platform/curl_internet.h"
#include "platform/curl_proxy.h"
#include "platform/early_internet.h"
#include "platform/event_loop.h"
#include "platform/fatal_library_error.h"
#include "platform/page_input_hook.h"
#include "platform/session_end.h"
#include "platform/webkit_setup.h"
#include "platform/wx_browser.h"
#include "platform/wx_frame_window.h"
#include "platform/wx_proxy_settings_dlg.h"
#include "res/encoding.h"
#include "res/resource.h"
#include "res/texts.h"

namespace bolta {

// Where the tool stands; each stage decides what a signal, a library's failure or a page's event
// may still do.
enum class CBoltaApp::Stage {
  Starting,   // the retrieval runs; the window has not been shown
  Abandoned,  // a session end came during the start: it ends before any window shows
  Shown,      // the window is up, its first page not fitted yet
  Fitted,     // the first page has been fitted
  Closing,    // a session end has asked the window to close
  Closed,     // the frame has been destroyed: nothing may reach it
  Failing,    // a library failed: the tool is being abandoned
};

namespace {

using Stage = CBoltaApp::Stage;

CurlInternetOptions InternetOptions(const Stage& stage) {
  CurlInternetOptions options;
  // While SETTING.TXT is fetched the window is not shown yet, so nothing can reach it; serving
  // the event loop lets the tray host draw the icon and the web engine go on with its start. A
  // session end gives the fetch up, and the start ends once the retrieval has returned.
  options.whileWaiting = [&stage] {
    ServePendingEvents();
    return stage != Stage::Abandoned;
  };
  // The page says only that the fetch failed; standard error says why.
  options.onFailure = [](const std::string& cause) { std::cerr << "bolta: " << cause << "\n"; };
  return options;
}

wxString Utf8(std::string_view text) { return wxString::FromUTF8(text.data(), text.size()); }

// One of the tool's own texts, which are code page 932.
wxString Text(std::string_view cp932) { return Utf8(Cp932ToUtf8(cp932)); }

// The store stays silent to its callers; the user hears of the first failed write here.
void ReportSettingsWriteFailure(const std::filesystem::path& file, const std::string& reason) {
  std::cerr << "bolta: cannot save the settings to " << file.string() << ": " << reason << "\n";
}

// The page cannot be shown, or a library cannot go on: standard error names the cause first, so
// that it is there even when no message box can be shown, then the user is told and the process
// ends on the spot. Nothing has changed before the window has come up; afterwards the libraries
// are past a clean close, and the window's last place is given up.
[[noreturn]] void Abandon(const std::string& cause, std::string_view message) {
  std::cerr << "bolta: " << cause << std::endl;
  if (wxIsMainThread()) {
    wxMessageBox(Text(message), Text(text::kAppTitle), wxOK | wxICON_EXCLAMATION);
  }
  std::_Exit(EXIT_FAILURE);
}

// The page's pictures go as the request goes: through the proxy named in the tool, else as the
// environment says; only when it names none do they follow the desktop's settings.
std::optional<ProxyRoutes> PictureProxies(const ProxySetting& proxy) {
  if (proxy.UsesNamedProxy()) return NamedProxyRoutes(proxy.Name());
  return EnvironmentProxyRoutes([](const char* name) { return std::getenv(name); });
}

}  // namespace

struct CBoltaApp::Session {
  Session(SettingsLocation settingsLocation, Stage& stage)
      : stage(stage),
        settings(std::move(settingsLocation), &ReportSettingsWriteFailure),
        internet(InternetOptions(stage)),
        proxyDialog(frameWindow),
        frame(frameWindow, settings, proxyDialog) {}

  // Declared first: the other members may refer to it from their construction on.
  Stage& stage;
  // Before the first fit the view could not be made; after it, the fault is no longer the view's.
  FatalLibraryErrors fatalErrors{[this](const std::string& message) {
    // A library that fails again while the box is made: the first cause is on standard error.
    const Stage was = std::exchange(stage, Stage::Failing);
    if (was == Stage::Failing) std::_Exit(EXIT_FAILURE);
    // The page's events are not for the view any more.
    if (browser) browser->Close();
    Abandon("cannot go on: " + message, was == Stage::Starting || was == Stage::Shown
                                            ? text::kErrCreateDocumentFailed
                                            : text::kErrInternalApplication);
  }};
  SettingsStore settings;
  CurlInternetOpener internet;
  WxFrameWindow frameWindow;
  WxProxySettingsDialogRunner proxyDialog;
  CMainFrame frame;
  CBoltaDoc document;
  std::unique_ptr<WxBrowser> browser;
  std::unique_ptr<CBoltaView> view;
  std::unique_ptr<PageInputHook> input;
};

CBoltaApp::CBoltaApp(std::optional<std::string> address)
    : address_(std::move(address)),
      settingsLocation_(ChooseSettingsLocation(ExecutablePath(), ProcessSettingsEnvironment())),
      stage_(Stage::Starting),
      // A logout, a closed terminal or Ctrl+C closes the window as its close command does
      // (storing its place); during the start, before anything can have changed, it ends the
      // start. Heard from before the first request goes out.
      signals_(std::make_unique<SessionEndSignals>([this] { OnSessionEnd(); })) {
  const ProxySetting proxy =
      ReadProxySetting(SettingsStore(settingsLocation_, &ReportSettingsWriteFailure));
  StartEarlyRetrieval(proxy);
  // The web engine too gets going while the toolkit starts.
  PrepareWebEngine(PictureProxies(proxy));
}

void CBoltaApp::StartEarlyRetrieval(const ProxySetting& proxy) {
  if (!address_) return;
  // The view's retrieval, run now on a thread of its own: its request goes out while the toolkit
  // starts and the frame is made, and the view's own run is answered from it.
  early_ = std::make_unique<EarlyInternet>(
      [address = *address_, proxy](InternetOpener& internet) {
        BoardAddress boardAddress;
        SignboardInfo info;
        struct : SignboardPages {
          void ShowSignboardPage() override {}
          void ShowMessagePage(const std::string&) override {}
        } unshown;
        FetchSignboard(address, proxy, internet, boardAddress, info, unshown);
      },
      InternetOptions(stage_));
}

CBoltaApp::~CBoltaApp() = default;

void CBoltaApp::OnSessionEnd() {
  switch (stage_) {
    case Stage::Failing:
      std::_Exit(EXIT_FAILURE);  // over the box that tells of the failure
    case Stage::Starting:
      stage_ = Stage::Abandoned;
      return;
    case Stage::Shown:
    case Stage::Fitted:
      stage_ = Stage::Closing;
      RunOutsideModalLoops([this] {
        if (stage_ == Stage::Closing) session_->frame.OnSysCommand(SC_CLOSE, 0);
      });
      return;
    default:
      return;
  }
}

bool CBoltaApp::InitInstance() {
  // A GUI application would show wx's log messages (a failed script, say) in modal boxes, which
  // would hang an unattended start: they go to standard error.
  delete wxLog::SetActiveTarget(new wxLogStderr);
  SetAppName(Text(text::kAppTitle));

  session_ = std::make_unique<Session>(settingsLocation_, stage_);
  Session& s = *session_;

  // The command line is never opened as a file: the first argument goes to the view as it came.
  FrameCreateParams params;
  s.frame.PreCreateWindow(params);
  s.frameWindow.Create(params, text::kTemplateWindowTitle);
  s.browser = WxBrowser::Create(s.frameWindow);
  if (!s.browser) Abandon("the web view cannot be created", text::kErrCreateDocumentFailed);
  InternetOpener& internet = early_ ? static_cast<InternetOpener&>(*early_) : s.internet;
  ViewContext context{*s.browser, *s.browser, s.frame, s.document, s.settings, internet};
  s.view = std::make_unique<CBoltaView>(context, address_);

  s.frameWindow.SetEvents({
      .onSysCommand = [&s](int32_t id) { s.frame.OnSysCommand(id, 0); },
      .onDestroy =
          [&s] {
            // Nothing the view started (its timer, a measurement, input) outlives the frame.
            s.stage = Stage::Closed;
            s.input.reset();
            s.browser->Close();
            s.frame.OnDestroy();
          },
      .onDecorationsKnown = [&s] { s.frame.DecorationsKnown(); },
  });
  s.browser->SetEvents({
      .onDocumentComplete =
          [&s](const std::string& url) {
            s.view->OnDocumentComplete(url);
            if (s.stage == Stage::Shown) s.stage = Stage::Fitted;
          },
      .onTimer = [&s](int32_t id) { s.view->OnTimer(id); },
      // Once the page is up it stays up, and F5 starts the process again.
      .onWebProcessEnded =
          [&s](const std::string& cause) {
            if (s.stage != Stage::Starting && s.stage != Stage::Shown) return;
            s.stage = Stage::Failing;
            s.browser->Close();
            Abandon(cause, text::kErrCreateDocumentFailed);
          },
  });
  s.input = std::make_unique<PageInputHook>(
      s.frameWindow,
      PageInputHook::Handlers{
          .preTranslateMessage = [&s](const Msg& msg) { return s.view->PreTranslateMessage(msg); },
          .openSystemMenu = [&s] { s.frameWindow.PopupSystemMenu(s.frame.GetSystemMenu()); },
      });

  // The frame's creation work: menu, position, transparency, on-top state, tray icon.
  s.frame.OnCreate();
  s.document.SetTitleChanged([&s] { s.frame.OnUpdateFrameTitle(true); });
  s.frame.SetActiveDocument(&s.document);
  SetTopWindow(s.frameWindow.frame());

  // The initial update runs the whole retrieval before the window is first shown. A session that
  // cannot be opened is reported here, and start-up goes on with an empty page.
  try {
    s.view->OnInitialUpdate();
  } catch (const std::exception& failure) {
    const std::string_view what = failure.what();
    wxMessageBox(what.empty() ? Text(text::kErrInternalApplication) : Utf8(what),
                 Text(text::kAppTitle), wxOK | wxICON_ERROR);
  }

  if (s.stage == Stage::Abandoned) return true;  // OnRun then ends the process

  s.frameWindow.Show();
  s.stage = Stage::Shown;
  s.frame.OnUpdateFrameTitle(true);
  return true;
}

int CBoltaApp::OnRun() {
  // Ended during the start: the window was never shown, and no loop is run for it.
  if (stage_ == Stage::Abandoned) return 0;
  return wxApp::OnRun();
}

int CBoltaApp::OnExit() {
  // The frame has gone and stored its settings; the rest goes before the toolkit does.
  session_.reset();
  early_.reset();
  return wxApp::OnExit();
}

void CBoltaApp::OnAssertFailure(const wxChar* file, int line, const wxChar* func,
                                const wxChar* cond, const wxChar* msg) {
  // Never a modal box: an unattended run must not hang on one.
  std::cerr << "bolta: wxWidgets assertion failed: " << wxString(cond) << " " << wxString(msg)
            << " in " << wxString(func) << " (" << wxString(file) << ":" << line << ")\n";
}

}  // namespace bolta

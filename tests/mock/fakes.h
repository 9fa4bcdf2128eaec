#pragma once
// The platform as the core's tests see it. The window layer records every call, one line each,
// and behaves like a small desktop: the frame has fixed decoration room around the view, and like
// GTK it never gets smaller than that room plus a 1 x 1 client. The proxy dialog is driven as a
// user would: the real exchange into and out of the controls, with the user's edits and button
// scripted. The Internet layer's session never opens: no test of the core goes on the network.
#include <algorithm>
#include <functional>

#include "display/browser_control.h"
#include "mainwnd/frame_window.h"
#include "mainwnd/proxy_settings_exchange.h"
#include "res/resource.h"
#include "retrieval/internet.h"

namespace bolta {

class FakeWindowLayer : public BrowserControl, public ViewWindow, public FrameWindow {
 public:
  std::vector<std::string> calls;
  Rect windowRect{100, 50, 300, 81};
  Size room{8, 30};                         // frame width and height minus the view's client size
  std::optional<Rect> minimizedNormalRect;  // set while the frame is minimized
  ReadyState readyState = READYSTATE_COMPLETE;
  std::optional<HtmlDocument> document = HtmlDocument{Size{200, 60}};
  bool topmost = false;

  void Navigate2(const std::string&) override { Log("Navigate2"); }
  void Refresh() override { Log("Refresh"); }
  ReadyState GetReadyState() const override { return readyState; }
  std::optional<HtmlDocument> GetHtmlDocument() const override { return document; }
  Rect GetClientRect() const override {
    return Rect{0, 0, windowRect.Width() - room.cx, windowRect.Height() - room.cy};
  }
  void SetTimer(int32_t id, int32_t ms) override { Log("SetTimer", {id, ms}); }
  void KillTimer(int32_t id) override { Log("KillTimer", {id}); }
  Rect GetWindowRect() const override { return windowRect; }
  void MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height, bool repaint) override {
    calls.push_back("MoveWindow " + std::to_string(x) + "," + std::to_string(y) + " " +
                    std::to_string(width) + "x" + std::to_string(height) +
                    (repaint ? "" : " norepaint"));
    windowRect = {x, y, x + std::max(width, room.cx + 1), y + std::max(height, room.cy + 1)};
  }
  void SetParked(bool on) override { Log(on ? "Park" : "Unpark"); }
  bool IsOnADisplay(const Rect& r) const override {
    return r.right > 0 && r.bottom > 0 && r.left < 1024 && r.top < 768;
  }
  void BeginMoveDrag() override { Log("BeginMoveDrag"); }
  void SetTopmost(bool on) override { topmost = on, Log(on ? "SetTopmost on" : "SetTopmost off"); }
  Rect GetNormalRect() const override { return minimizedNormalRect.value_or(windowRect); }
  Rect GetWorkArea() const override { return {0, 0, 1024, 740}; }
  bool EnableLayeredStyle() override { return Log("EnableLayeredStyle"), true; }
  bool SetWindowAlpha(ColorRef key, uint8_t value, uint32_t flags) override {
    return Log("SetWindowAlpha", {key, value, flags}), true;
  }
  bool AddTrayIcon(int32_t id, std::string_view) override { return Log("AddTrayIcon", {id}), true; }
  bool DeleteTrayIcon() override { return Log("DeleteTrayIcon"), true; }
  // Ten pixels a byte beside 100 of buttons.
  int32_t CaptionWidth(const std::string& text) const override {
    return static_cast<int32_t>(text.size()) * 10 + 100;
  }
  void SetWindowText(const std::string& text) override { Log("SetWindowText " + text); }
  void DefaultSysCommand(int32_t id, intptr_t lParam) override {
    Log("DefaultSysCommand", {id, lParam});
  }

 private:
  // Records "name arg1 arg2 ...".
  void Log(std::string line, std::initializer_list<int64_t> args = {}) {
    for (const int64_t arg : args) line += " " + std::to_string(arg);
    calls.push_back(std::move(line));
  }
};

struct ScriptedProxyDialog final : ProxySettingsDialogRunner {
  std::function<void(ProxySettingsControls&)> edit;  // what the user does to the controls
  bool pressOk = false;                              // OK, else cancel

  int DoModal(ProxySettingsData& data) override {
    ProxySettingsControls controls = ExchangeIntoDialog(data);
    if (edit) edit(controls);
    // An OK the exchange refuses keeps the dialog open; the user then cancels.
    return pressOk && !ExchangeOutOfDialog(controls, data) ? IDOK : IDCANCEL;
  }
};

struct ClosedInternet final : InternetOpener {
  std::unique_ptr<InternetSession> Open(const std::string&, uint32_t, uint32_t,
                                        const std::string&) override {
    throw InternetException("no network in the core's tests");
  }
};

}  // namespace bolta

#pragma once
// A window layer that records every call, one line each, and behaves like a small desktop: the
// frame has fixed decoration room around the view, and like GTK it never gets smaller than that
// room plus a 1 x 1 client.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/window_layer.h"

namespace bolta {

class FakeWindowLayer : public BrowserControl, public ViewWindow, public FrameWindow {
 public:
  std::vector<std::string> calls;

  Rect windowRect{100, 50, 300, 81};
  Size room{8, 30};                         // frame width and height minus the view's client size
  std::optional<Rect> minimizedNormalRect;  // set while the frame is minimized
  Rect workArea{0, 0, 1024, 740};
  ReadyState readyState = READYSTATE_COMPLETE;
  std::optional<HtmlDocument> document = HtmlDocument{Size{200, 60}};
  bool translucencyAvailable = true;

  bool topmost = false;
  std::optional<int32_t> alpha;
  bool trayIcon = false;
  std::string trayTooltip;
  std::string caption;
  std::string page;

  // BrowserControl
  void Navigate2(const std::string& url) override {
    page = url;
    calls.push_back("Navigate2");
  }
  void Refresh() override { calls.push_back("Refresh"); }
  ReadyState GetReadyState() const override { return readyState; }
  std::optional<HtmlDocument> GetHtmlDocument() const override { return document; }

  // ViewWindow
  Rect GetClientRect() const override {
    return Rect{0, 0, windowRect.Width() - room.cx, windowRect.Height() - room.cy};
  }
  void SetTimer(int32_t id, int32_t milliseconds) override {
    calls.push_back("SetTimer " + std::to_string(id) + " " + std::to_string(milliseconds));
  }
  void KillTimer(int32_t id) override { calls.push_back("KillTimer " + std::to_string(id)); }

  // FrameWindow
  Rect GetWindowRect() const override { return windowRect; }
  void MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height, bool repaint) override {
    calls.push_back("MoveWindow " + std::to_string(x) + "," + std::to_string(y) + " " +
                    std::to_string(width) + "x" + std::to_string(height) +
                    (repaint ? "" : " norepaint"));
    width = std::max(width, room.cx + 1);
    height = std::max(height, room.cy + 1);
    windowRect = Rect{x, y, x + width, y + height};
  }
  void BeginMoveDrag() override { calls.push_back("BeginMoveDrag"); }
  void SetTopmost(bool on) override {
    topmost = on;
    calls.push_back(on ? "SetTopmost on" : "SetTopmost off");
  }
  Rect GetNormalRect() const override { return minimizedNormalRect.value_or(windowRect); }
  Rect GetWorkArea() const override { return workArea; }
  bool EnableLayeredStyle() override {
    calls.push_back("EnableLayeredStyle");
    return translucencyAvailable;
  }
  bool SetWindowAlpha(ColorRef key, uint8_t value, uint32_t flags) override {
    calls.push_back("SetWindowAlpha " + std::to_string(key) + " " + std::to_string(value) + " " +
                    std::to_string(flags));
    if (!translucencyAvailable) return false;
    alpha = value;
    return true;
  }
  bool AddTrayIcon(int32_t iconId, std::string_view tooltip) override {
    calls.push_back("AddTrayIcon " + std::to_string(iconId));
    trayIcon = true;
    trayTooltip = tooltip;
    return true;
  }
  bool DeleteTrayIcon() override {
    calls.push_back("DeleteTrayIcon");
    const bool was = trayIcon;
    trayIcon = false;
    return was;
  }
  void SetWindowText(const std::string& text) override {
    caption = text;
    calls.push_back("SetWindowText " + text);
  }
  void DefaultSysCommand(int32_t id, intptr_t lParam) override {
    calls.push_back("DefaultSysCommand " + std::to_string(id) + " " + std::to_string(lParam));
  }
};

}  // namespace bolta

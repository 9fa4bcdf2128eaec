#pragma once
// The main frame: its creation shape, its system menu and commands, transparency, on-top state,
// position persistence and the notification-area icon shown while SETTING.TXT is fetched.
#include <cstdint>
#include <optional>
#include <string>

#include "mainwnd/frame_window.h"
#include "mainwnd/system_menu.h"

namespace bolta {

class CBoltaDoc;
class SettingsStore;
class ProxySettingsDialogRunner;

// The alpha of transparency step n: 255 - n * 25.5, truncated toward zero. A step outside 0 .. 9
// (a hand-edited settings file) gives step 0's alpha, so the frame never turns invisible.
uint8_t AlphaOfStep(int32_t step);

class CMainFrame {
 public:
  CMainFrame(FrameWindow& window, SettingsStore& settings, ProxySettingsDialogRunner& proxyDialog);

  // The shape the layer creates the window with.
  void PreCreateWindow(FrameCreateParams& cs) const;
  // Runs once the window and the view exist: menu, position, transparency, on-top state, tray icon.
  void OnCreate();
  void OnSysCommand(int32_t id, intptr_t lParam);
  // Runs while the window still exists: stores position and on-top state, removes the tray icon.
  void OnDestroy();

  // The caption is the active document's title alone, or empty.
  void OnUpdateFrameTitle(bool addToTitle);
  void SetActiveDocument(const CBoltaDoc* document) { activeDocument_ = document; }

  bool RemoveTrayIcon();
  bool EnableLayeredStyle();
  bool SetWindowAlpha(ColorRef key, uint8_t alpha, uint32_t flags);

  // What the view does with its parent frame: read its outer rectangle, move it, drag it.
  Rect GetWindowRect() const { return window_.GetWindowRect(); }
  void MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height, bool repaint) {
    window_.MoveWindow(x, y, width, height, repaint);
  }
  void BeginMoveDrag() { window_.BeginMoveDrag(); }
  // The outer width that shows `caption` whole, never wider than the work area.
  int32_t CaptionFitWidth(const std::string& caption) const;

  // The view's park while a page loads, from BeginPark to EndPark: the user goes on seeing the
  // frame as it was, and the place stored on close is the one before the park, never the parked
  // one.
  const std::optional<Rect>& GetRectBeforePark() const { return rectBeforePark_; }
  void BeginPark();
  void EndPark();
  // The view has fitted the frame to its page: a frame restored on no display, centred at its
  // creation size, is centred again at its real size, once.
  void Fitted();
  // The window manager has told the frame's decoration room only on framing it, after the fit:
  // a frame the fit centred without that room is centred again with it, once.
  void DecorationsKnown();

  const Menu& GetSystemMenu() const { return systemMenu_; }

 private:
  void EditSystemMenu();
  void RestorePosition();
  void ApplyTransparency(int32_t step);
  void ToggleTopmost();
  void CenterWindow();
  Rect CenteredRect(const Rect& frame) const;

  FrameWindow& window_;
  SettingsStore& settings_;
  ProxySettingsDialogRunner& proxyDialog_;
  const CBoltaDoc* activeDocument_ = nullptr;
  Menu systemMenu_;
  std::optional<Rect> rectBeforePark_;
  // A frame restored on no display is centred at its creation size, then at its fitted size, then
  // once more should its decoration room become known only later.
  enum class Recentre { No, AtFit, WhenDecorated };
  Recentre recentre_ = Recentre::No;
};

}  // namespace bolta

#pragma once
// The window-system operations the main frame stands on. The platform implements them; a
// recording fake stands in for them in the unit tests.
#include <cstdint>
#include <string>
#include <string_view>

#include "res/geometry.h"

namespace bolta {

// The frame's creation shape, filled by CMainFrame::PreCreateWindow and applied by the layer.
// The defaults are an ordinary top-level window. A size the platform refuses (a height of 0 on
// GTK) is clamped by the layer to the smallest it accepts.
struct FrameCreateParams {
  int32_t cx = 0;  // outer size
  int32_t cy = 0;
  bool caption = true;
  bool systemMenu = true;
  bool minimizeBox = true;
  bool maximizeBox = true;
  bool sizingBorder = true;
};

// Arguments of SetWindowAlpha.
inline constexpr uint32_t LWA_ALPHA = 0x2;
using ColorRef = uint32_t;

// The main frame's top-level window.
class FrameWindow {
 public:
  // The outer rectangle, decorations included, in screen coordinates, as last set by MoveWindow
  // (or by the user), with the decoration room of the real frame extents.
  virtual Rect GetWindowRect() const = 0;
  // Sets the outer rectangle, wherever it lies.
  virtual void MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height, bool repaint) = 0;
  // The view's park while a page loads. From true to false, MoveWindow changes only the rectangle
  // reported and the size the page is laid out at: the user goes on seeing what was shown (the
  // frame where it was, as it was drawn, or nothing before the first showing), since window
  // managers keep part of every frame on the screen and hiding it would blink. False shows the
  // last rectangle asked for in one step.
  virtual void SetParked(bool parked) = 0;
  // True when `rect` shares a pixel with a display.
  virtual bool IsOnADisplay(const Rect& rect) const = 0;
  // The counterpart of WM_NCLBUTTONDOWN with HTCAPTION: the window manager moves the frame with
  // the pointer until the button is released.
  virtual void BeginMoveDrag() = 0;
  // The z-order band: keep above all other windows, or not. Neither moves nor resizes.
  virtual void SetTopmost(bool topmost) = 0;
  // The rectangle of the restored window, also while minimized (GetWindowPlacement's normal one).
  virtual Rect GetNormalRect() const = 0;
  // The work area of the display that holds the frame, or of the primary one when it lies on none.
  virtual Rect GetWorkArea() const = 0;
  // True when the platform can make this window translucent (and now will).
  virtual bool EnableLayeredStyle() = 0;
  // The window's opacity, alpha 0 .. 255 with LWA_ALPHA; false when the platform cannot.
  virtual bool SetWindowAlpha(ColorRef key, uint8_t alpha, uint32_t flags) = 0;
  // The notification-area icon `iconId` with `tooltip` (code page 932). Adding twice replaces it;
  // deleting an icon that is not there changes nothing.
  virtual bool AddTrayIcon(int32_t iconId, std::string_view tooltip) = 0;
  virtual bool DeleteTrayIcon() = 0;
  // The outer width that shows `caption` (code page 932) whole beside the frame's buttons.
  virtual int32_t CaptionWidth(const std::string& caption) const = 0;
  // The caption, code page 932 bytes (a board title may be UTF-8: the layer decodes it as
  // BoardTextToUtf8 does).
  virtual void SetWindowText(const std::string& caption) = 0;
  // The platform's own handling of a system command (SC_MOVE, SC_MINIMIZE, SC_CLOSE, ...), given
  // unmasked as it arrived; ids it does not know change nothing.
  virtual void DefaultSysCommand(int32_t id, intptr_t lParam) = 0;

 protected:
  ~FrameWindow() = default;
};

}  // namespace bolta

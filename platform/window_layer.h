#pragma once
// The window-system operations that the frame and the view stand on. The core holds the logic and
// calls these; the platform implements them (wxWidgets, GTK, WebKitGTK) and a recording fake
// stands in for them in the unit tests. Nothing here includes a platform header.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bolta {

// Pixels, signed 32-bit. Screen coordinates for outer rectangles, client coordinates (origin
// 0, 0) for the view's client rectangle. right and bottom are exclusive.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// How far the browser has loaded the current document; only COMPLETE is acted upon.
enum ReadyState : int32_t {
  READYSTATE_UNINITIALIZED = 0,
  READYSTATE_LOADING = 1,
  READYSTATE_LOADED = 2,
  READYSTATE_INTERACTIVE = 3,
  READYSTATE_COMPLETE = 4,
};

// The browser's current document as far as the view needs it: its body's scroll size as drawn,
// in window pixels, empty when the body (or its size) could not be read.
struct HtmlDocument {
  std::optional<Size> bodyScrollSize;
};

// The web view that the view hosts.
class BrowserControl {
 public:
  // Starts loading `url`, an "about:" address whose text after the scheme is a whole HTML
  // document in code page 932; the layer converts it to UTF-8 and shows that text as the page.
  // Returns at once: OnDocumentComplete comes later from the event loop, once per call.
  virtual void Navigate2(const std::string& url) = 0;
  // Loads the current document again. No OnDocumentComplete follows; the view polls the state,
  // so from this call until the reload has finished GetReadyState must not say COMPLETE.
  virtual void Refresh() = 0;
  // COMPLETE only once the document and its pictures have loaded.
  virtual ReadyState GetReadyState() const = 0;
  // Nothing when there is no document.
  virtual std::optional<HtmlDocument> GetHtmlDocument() const = 0;

 protected:
  ~BrowserControl() = default;
};

// The view's own window (the web view's area inside the frame).
class ViewWindow {
 public:
  // The client rectangle, origin 0, 0.
  virtual Rect GetClientRect() const = 0;
  // Starts (or restarts, with a fresh interval) timer `id`; its ticks reach CBoltaView::OnTimer.
  virtual void SetTimer(int32_t id, int32_t milliseconds) = 0;
  virtual void KillTimer(int32_t id) = 0;

 protected:
  ~ViewWindow() = default;
};

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
  bool menuBar = true;
  bool captionFollowsDocument = false;  // the caption is set through OnUpdateFrameTitle
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
  // Sets the outer rectangle. A rectangle far off every display is a park: where the window
  // manager clamps such a move, the layer hides the frame by other means while it is there and
  // still reports the rectangle as asked; the next move back shows it again.
  virtual void MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height, bool repaint) = 0;
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
  // The caption, code page 932 bytes (a board title may be UTF-8: the layer decodes it as
  // BoardTextToUtf8 does).
  virtual void SetWindowText(const std::string& caption) = 0;
  // The platform's own handling of a system command (SC_MOVE, SC_MINIMIZE, SC_CLOSE, ...), given
  // unmasked as it arrived; ids it does not know change nothing.
  virtual void DefaultSysCommand(int32_t id, intptr_t lParam) = 0;

 protected:
  ~FrameWindow() = default;
};

// Input on the page, in the codes of the Windows messages it stands for, offered to
// CBoltaView::PreTranslateMessage before the page sees it.
inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_KEYUP = 0x0101;
inline constexpr uint32_t WM_CHAR = 0x0102;
inline constexpr uint32_t WM_SYSKEYDOWN = 0x0104;  // a key pressed with Alt held
inline constexpr uint32_t WM_SYSKEYUP = 0x0105;
inline constexpr uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr uint32_t WM_MBUTTONUP = 0x0208;

inline constexpr uint32_t VK_F5 = 0x74;

struct Msg {
  uint32_t message = 0;
  uintptr_t wParam = 0;  // the virtual key code for key messages
  intptr_t lParam = 0;
};

}  // namespace bolta

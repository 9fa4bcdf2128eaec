#pragma once
// The main frame's window on wxWidgets/GTK: the frame's creation, its place through FramePlace,
// the park through ParkOverlay, keep-above and opacity once the window manager manages the frame,
// the tray icon, the caption, the system menu popup and the window's own system commands.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "mainwnd/frame_window.h"
#include "mainwnd/system_menu.h"
#include "platform/frame_place.h"
#include "platform/park_overlay.h"

class wxFrame;
typedef struct _GtkWidget GtkWidget;
typedef struct _GdkEventConfigure GdkEventConfigure;
typedef struct _GdkEventProperty GdkEventProperty;
typedef union _GdkEvent GdkEvent;
typedef struct _cairo cairo_t;

namespace bolta {

class GtkTrayIcon;

class WxFrameWindow final : public FrameWindow {
 public:
  struct Events {
    std::function<void(int32_t id)> onSysCommand;  // a system menu entry was chosen
    std::function<void()> onDestroy;               // the frame is closing; the window still exists
    // The window manager, which would not tell the decoration room before the frame was shown,
    // has told it on framing it.
    std::function<void()> onDecorationsKnown;
  };

  WxFrameWindow();
  ~WxFrameWindow();
  WxFrameWindow(const WxFrameWindow&) = delete;
  WxFrameWindow& operator=(const WxFrameWindow&) = delete;

  // Creates the frame, not yet shown, with the shape `params` asks for and the caption
  // `captionCp932`. Nothing else may be called before.
  void Create(const FrameCreateParams& params, std::string_view captionCp932);

  wxFrame* frame() const { return frame_; }
  // Null once the frame is closing.
  GtkWidget* toplevel() const { return closed_ ? nullptr : toplevel_; }
  // The client size as last asked for: the view fills it.
  Size ClientSize() const { return place_.client(); }
  void SetEvents(Events events) { events_ = std::move(events); }
  // Kept above other windows, as last asked for (also before the window manager knows of it).
  bool IsTopmost() const { return topmost_; }

  // The first show. A parked frame stays hidden until its park ends.
  void Show();
  // The system menu as a popup for the input event being handled.
  void PopupSystemMenu(const Menu& menu);
  // The input event being offered to the view (borrowed, null after): a drag or a popup starts
  // from it.
  void SetInputEvent(GdkEvent* event) { inputEvent_ = event; }

  Rect GetWindowRect() const override;
  void MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height, bool repaint) override;
  void SetParked(bool parked) override;
  bool IsOnADisplay(const Rect& rect) const override;
  void BeginMoveDrag() override;
  void SetTopmost(bool topmost) override;
  Rect GetNormalRect() const override;
  Rect GetWorkArea() const override;
  bool EnableLayeredStyle() override;
  bool SetWindowAlpha(ColorRef key, uint8_t alpha, uint32_t flags) override;
  bool AddTrayIcon(int32_t iconId, std::string_view tooltip) override;
  bool DeleteTrayIcon() override;
  int32_t CaptionWidth(const std::string& caption) const override;
  void SetWindowText(const std::string& caption) override;
  void DefaultSysCommand(int32_t id, intptr_t lParam) override;

 private:
  static int OnConfigure(GtkWidget* widget, GdkEventConfigure* event, WxFrameWindow* self);
  static int OnDraw(GtkWidget* widget, cairo_t* context, WxFrameWindow* self);
  static int OnMap(GtkWidget* widget, GdkEvent* event, WxFrameWindow* self);
  static int OnPropertyNotify(GtkWidget* widget, GdkEventProperty* event, WxFrameWindow* self);
  bool Mapped() const;
  ScreenPoint ClientOrigin() const;
  // The X server's answers so far, taken in as the logic reads the place.
  void Refresh() const;
  void ApplyClientSize();
  void ApplyPosition();
  void ApplyWindowState();
  void BeginDrag(uint32_t button);

  wxFrame* frame_ = nullptr;
  GtkWidget* toplevel_ = nullptr;
  Events events_;
  std::unique_ptr<GtkTrayIcon> tray_;
  bool closed_ = false;
  GdkEvent* inputEvent_ = nullptr;

  mutable FramePlace place_;            // written by the X server's reports as they are read
  ParkOverlay overlay_;                 // the frame as the user saw it when the park began
  std::optional<ScreenPoint> shownAt_;  // where its client was then
  bool showWanted_ = false;             // shown by the application (maybe held by the park)
  bool managed_ = false;                // mapped by the window manager
  bool decorationsKnown_ = false;       // the window manager has told the decoration room
  bool topmost_ = false;
  double opacity_ = 1.0;
};

}  // namespace bolta

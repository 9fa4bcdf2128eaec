#pragma once
// The main frame's window on wxWidgets/GTK: the outer rectangle with the window manager's real
// decoration room, the park that keeps the frame as the user last saw it, keep-above and opacity
// once the window manager manages the frame, the tray icon, the system menu popup and the
// window's own system commands.
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "mainwnd/frame_window.h"
#include "mainwnd/system_menu.h"
#include "platform/frame_geometry.h"

class wxFrame;
typedef struct _GtkWidget GtkWidget;
typedef struct _GdkEventConfigure GdkEventConfigure;
typedef union _GdkEvent GdkEvent;
typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace bolta {

class GtkTrayIcon;

class WxFrameWindow final : public FrameWindow {
 public:
  struct Events {
    std::function<void(int32_t id)> onSysCommand;  // a system menu entry was chosen
    std::function<void()> onDestroy;               // the frame is closing; the window still exists
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
  Size ClientSize() const { return client_; }
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
  void ApplyPosition();
  void Freeze();
  struct Origin {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Origin&, const Origin&) = default;
  };
  // Where the client area is on the screen, as the X server says now.
  Origin ClientOrigin() const;
  void ApplyWindowState();
  void RefreshExtents() const;
  void RefreshPosition() const;
  void ApplyClientSize();
  std::vector<Rect> Displays() const;
  void BeginDrag(uint32_t button);

  wxFrame* frame_ = nullptr;
  GtkWidget* toplevel_ = nullptr;
  Events events_;
  std::unique_ptr<GtkTrayIcon> tray_;
  bool closed_ = false;
  GdkEvent* inputEvent_ = nullptr;

  // The geometry as last asked for (or as the window manager last placed the frame): the
  // frame's outer top-left corner and its client size. The X server applies requests later and
  // the window manager may clamp them; the logic always sees what it asked for.
  mutable FrameExtents extents_;
  mutable int32_t x_ = 0;
  mutable int32_t y_ = 0;
  Size client_{1, 1};
  mutable bool placed_ = false;  // false until a move or the window manager has placed the frame
  bool parked_ = false;          // the view's park: moves wait for its end
  bool showWanted_ = false;      // shown by the application (maybe held back by the park)
  int64_t moveSettlesAt_ = 0;    // until then, configure events are echoes of older requests
  struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const;
  };
  std::unique_ptr<cairo_surface_t, SurfaceDeleter> frozen_;  // drawn over the frame while parked
  Origin frozenAt_;                                          // the client's origin then
  bool managed_ = false;                                     // mapped by the window manager
  bool topmost_ = false;
  double opacity_ = 1.0;
};

}  // namespace bolta

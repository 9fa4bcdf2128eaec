#include "platform/wx_frame_window.h"

#include <gtk/gtk.h>
#include <wx/frame.h>
#include <wx/iconbndl.h>

#include <algorithm>
#include <utility>

#include "platform/app_icon.h"
#include "platform/event_loop.h"
#include "platform/gtk_system_menu.h"
#include "platform/gtk_tray_icon.h"
#include "platform/x11_frame_extents.h"
#include "res/encoding.h"
#include "res/resource.h"

namespace bolta {
namespace {

// How long a move may take to come back from the X server and the window manager before the
// frame's reported place counts as the user's (or the window manager's) doing.
constexpr int64_t kMoveSettleMicroseconds = 1000 * 1000;

long FrameStyle(const FrameCreateParams& params) {
  long style = 0;
  if (params.caption) style |= wxCAPTION;
  if (params.systemMenu) style |= wxSYSTEM_MENU | wxCLOSE_BOX;
  if (params.minimizeBox) style |= wxMINIMIZE_BOX;
  if (params.maximizeBox) style |= wxMAXIMIZE_BOX;
  if (params.sizingBorder) style |= wxRESIZE_BORDER;
  return style;
}

GdkWMFunction WindowFunctions(const FrameCreateParams& params) {
  int functions = GDK_FUNC_MOVE;
  if (params.minimizeBox) functions |= GDK_FUNC_MINIMIZE;
  if (params.maximizeBox) functions |= GDK_FUNC_MAXIMIZE;
  if (params.sizingBorder) functions |= GDK_FUNC_RESIZE;
  if (params.systemMenu) functions |= GDK_FUNC_CLOSE;
  return static_cast<GdkWMFunction>(functions);
}

GdkWMDecoration WindowDecorations(const FrameCreateParams& params) {
  int decorations = GDK_DECOR_BORDER;
  if (params.caption) decorations |= GDK_DECOR_TITLE;
  if (params.systemMenu) decorations |= GDK_DECOR_MENU;
  if (params.minimizeBox) decorations |= GDK_DECOR_MINIMIZE;
  if (params.maximizeBox) decorations |= GDK_DECOR_MAXIMIZE;
  if (params.sizingBorder) decorations |= GDK_DECOR_RESIZEH;
  return static_cast<GdkWMDecoration>(decorations);
}

Rect RectOf(const GdkRectangle& r) { return {r.x, r.y, r.x + r.width, r.y + r.height}; }

}  // namespace

void WxFrameWindow::Create(const FrameCreateParams& params, std::string_view captionCp932) {
  frame_ = new wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(Cp932ToUtf8(captionCp932)),
                       wxDefaultPosition, wxDefaultSize, FrameStyle(params));
  toplevel_ = frame_->GetHandle();
  frame_->SetIcons(AppIconBundle());
  gtk_widget_realize(toplevel_);
  // Tell the window manager which buttons and functions the frame has: no maximize box and no
  // sizing border unless asked for.
  GdkWindow* window = gtk_widget_get_window(toplevel_);
  gdk_window_set_functions(window, WindowFunctions(params));
  gdk_window_set_decorations(window, WindowDecorations(params));
  // The fit needs the decoration room before the frame is first shown.
  if (auto extents = RequestFrameExtents(toplevel_)) {
    extents_ = *extents;
    // Let wxWidgets see the extents now: learning them later, it would resize the frame to keep
    // its outer size and take the room from the client area.
    ServePendingEvents();
  }
  client_ = ClientSizeForOuter(params.cx, params.cy, extents_);
  ApplyClientSize();
  g_signal_connect(toplevel_, "configure-event", G_CALLBACK(&WxFrameWindow::OnConfigure), this);
  g_signal_connect_after(toplevel_, "draw", G_CALLBACK(&WxFrameWindow::OnDraw), this);
  g_signal_connect(toplevel_, "map-event", G_CALLBACK(&WxFrameWindow::OnMap), this);
  frame_->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) {
    if (events_.onDestroy) events_.onDestroy();
    tray_.reset();
    closed_ = true;
    frame_->Destroy();
  });
}

WxFrameWindow::WxFrameWindow() = default;

WxFrameWindow::~WxFrameWindow() {
  if (frame_ != nullptr && !closed_) frame_->Destroy();
}

int WxFrameWindow::OnConfigure(GtkWidget*, GdkEventConfigure* event, WxFrameWindow* self) {
  // The answer to our own move: from now on the X server's position is the frame's.
  if (!self->parked_ && event->x - self->extents_.left == self->x_ &&
      event->y - self->extents_.top == self->y_) {
    self->moveSettlesAt_ = 0;
  }
  return FALSE;
}

WxFrameWindow::Origin WxFrameWindow::ClientOrigin() const {
  gint x = 0;
  gint y = 0;
  gdk_window_get_origin(gtk_widget_get_window(toplevel_), &x, &y);
  return {x, y};
}

void WxFrameWindow::RefreshPosition() const {
  // While a move of ours is on its way, the X server still reports the place before it.
  if (parked_ || !gtk_widget_get_mapped(toplevel_) || g_get_monotonic_time() < moveSettlesAt_) {
    return;
  }
  const Origin origin = ClientOrigin();
  x_ = origin.x - extents_.left;
  y_ = origin.y - extents_.top;
  placed_ = true;
}

void WxFrameWindow::RefreshExtents() const {
  if (!gtk_widget_get_mapped(toplevel_)) return;
  extents_ = UpdatedExtents(extents_, ReadFrameExtents(toplevel_));
}

void WxFrameWindow::ApplyClientSize() {
  frame_->SetClientSize(client_.cx, client_.cy);
  if (gtk_widget_get_mapped(toplevel_)) return;
  // GTK sizes a hidden window's contents only when it is shown, but the page must be measured
  // at the parked size: allocate them now.
  GtkRequisition minimum;
  GtkRequisition natural;
  gtk_widget_get_preferred_size(toplevel_, &minimum, &natural);
  GtkAllocation allocation{0, 0, client_.cx, client_.cy};
  gtk_widget_size_allocate(toplevel_, &allocation);
}

void WxFrameWindow::Show() {
  showWanted_ = true;
  if (!parked_) frame_->Show();
}

void WxFrameWindow::PopupSystemMenu(const Menu& menu) {
  bolta::PopupSystemMenu(toplevel_, menu, inputEvent_, [this](int32_t id) {
    if (!closed_ && events_.onSysCommand) events_.onSysCommand(id);
  });
}

Rect WxFrameWindow::GetWindowRect() const {
  RefreshExtents();
  // The user or the window manager may have moved the frame since.
  RefreshPosition();
  return OuterRect(x_, y_, client_, extents_);
}

void WxFrameWindow::MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height,
                               bool /*repaint: GTK repaints by itself*/) {
  RefreshExtents();
  client_ = ClientSizeForOuter(width, height, extents_);
  x_ = x;
  y_ = y;
  if (parked_) {
    // Only a frame nobody sees is laid out at once: the page is measured at the parked size.
    if (!gtk_widget_get_mapped(toplevel_)) ApplyClientSize();
    return;
  }
  ApplyClientSize();
  ApplyPosition();
}

void WxFrameWindow::ApplyPosition() {
  // GTK itself: wxWidgets skips a move to where it believes the frame is, and GTK puts a frame it
  // shows where it was last moved to.
  gtk_window_move(GTK_WINDOW(toplevel_), x_, y_);
  // The place a frame is first shown at is the user's (restored, or where the user left it):
  // window managers keep such a place, also across two monitors, where they would push one the
  // program chose onto one monitor.
  if (!gtk_widget_get_mapped(toplevel_)) {
    gtk_window_set_geometry_hints(GTK_WINDOW(toplevel_), nullptr, nullptr, GDK_HINT_USER_POS);
  }
  placed_ = true;
  moveSettlesAt_ = g_get_monotonic_time() + kMoveSettleMicroseconds;
}

void WxFrameWindow::SetParked(bool parked) {
  if (parked == parked_) return;
  parked_ = parked;
  if (parked) {
    if (gtk_widget_get_mapped(toplevel_)) Freeze();
    return;
  }
  const Origin now = ClientOrigin();
  if (frozen_ && now != frozenAt_) {
    // Dragged while the page loaded: the frame comes back where the user put it.
    x_ = now.x - extents_.left;
    y_ = now.y - extents_.top;
  }
  // A frame shown all along and still where it is to be is left alone: its place in device
  // pixels need not fall on a whole pixel of a scaled toolkit, and moving it there would shift it.
  const bool stays = frozen_ && now.x - extents_.left == x_ && now.y - extents_.top == y_;
  ApplyClientSize();
  // A frame never placed comes up where the window manager puts a new window.
  if (placed_ && !stays) ApplyPosition();
  frozen_.reset();
  gtk_widget_queue_draw(toplevel_);
  if (showWanted_ && !frame_->IsShown()) frame_->Show();
}

void WxFrameWindow::Freeze() {
  // The frame as it is drawn now, laid over it until the park ends: the page reloads and is
  // measured underneath, and the user sees the new one only once the frame fits it.
  GdkWindow* window = gtk_widget_get_window(toplevel_);
  frozen_.reset(gdk_window_create_similar_surface(window, CAIRO_CONTENT_COLOR,
                                                  gtk_widget_get_allocated_width(toplevel_),
                                                  gtk_widget_get_allocated_height(toplevel_)));
  frozenAt_ = ClientOrigin();
  cairo_t* context = cairo_create(frozen_.get());
  gtk_widget_draw(toplevel_, context);
  cairo_destroy(context);
}

void WxFrameWindow::SurfaceDeleter::operator()(cairo_surface_t* surface) const {
  cairo_surface_destroy(surface);
}

int WxFrameWindow::OnDraw(GtkWidget*, cairo_t* context, WxFrameWindow* self) {
  if (self->frozen_) {
    cairo_set_source_surface(context, self->frozen_.get(), 0, 0);
    cairo_paint(context);
  }
  return FALSE;
}

int WxFrameWindow::OnMap(GtkWidget*, GdkEvent*, WxFrameWindow* self) {
  // Some window managers (icewm) follow the above state and the opacity only as they change on a
  // window they manage, and never clear an above state that was set before the map.
  if (std::exchange(self->managed_, true)) return FALSE;
  self->ApplyWindowState();
  // Some (xfwm4) push even the user's place onto one monitor, but keep a move made once they
  // manage the frame: it goes back there, once.
  const Origin asked{self->x_ + self->extents_.left, self->y_ + self->extents_.top};
  if (self->placed_ && self->ClientOrigin() != asked) self->ApplyPosition();
  return FALSE;
}

void WxFrameWindow::ApplyWindowState() {
  gtk_window_set_keep_above(GTK_WINDOW(toplevel_), topmost_);
  gdk_window_set_opacity(gtk_widget_get_window(toplevel_), opacity_);
}

bool WxFrameWindow::IsOnADisplay(const Rect& rect) const {
  return !LiesOnNoDisplay(rect, Displays());
}

void WxFrameWindow::BeginDrag(uint32_t button) {
  GdkEvent* event = inputEvent_ != nullptr ? gdk_event_copy(inputEvent_) : gtk_get_current_event();
  if (event != nullptr && event->type == GDK_BUTTON_PRESS) {
    gtk_window_begin_move_drag(GTK_WINDOW(toplevel_), static_cast<gint>(event->button.button),
                               static_cast<gint>(event->button.x_root),
                               static_cast<gint>(event->button.y_root), event->button.time);
  } else {
    gint x = 0;
    gint y = 0;
    GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(toplevel_));
    gdk_device_get_position(gdk_seat_get_pointer(seat), nullptr, &x, &y);
    gtk_window_begin_move_drag(GTK_WINDOW(toplevel_), static_cast<gint>(button), x, y,
                               event != nullptr ? gdk_event_get_time(event) : GDK_CURRENT_TIME);
  }
  if (event != nullptr) gdk_event_free(event);
}

void WxFrameWindow::BeginMoveDrag() { BeginDrag(1); }

void WxFrameWindow::SetTopmost(bool topmost) {
  topmost_ = topmost;
  if (managed_) gtk_window_set_keep_above(GTK_WINDOW(toplevel_), topmost);
}

Rect WxFrameWindow::GetNormalRect() const {
  // Minimizing leaves the remembered place and size as they were.
  return GetWindowRect();
}

std::vector<Rect> WxFrameWindow::Displays() const {
  GdkDisplay* display = gtk_widget_get_display(toplevel_);
  std::vector<Rect> displays;
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    GdkRectangle geometry;
    gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &geometry);
    displays.push_back(RectOf(geometry));
  }
  return displays;
}

Rect WxFrameWindow::GetWorkArea() const {
  GdkDisplay* display = gtk_widget_get_display(toplevel_);
  const int count = gdk_display_get_n_monitors(display);
  if (count == 0) return {};
  std::size_t primary = 0;
  if (GdkMonitor* monitor = gdk_display_get_primary_monitor(display)) {
    for (int i = 0; i < count; ++i) {
      if (gdk_display_get_monitor(display, i) == monitor) primary = static_cast<std::size_t>(i);
    }
  }
  const std::size_t holding = DisplayHolding(GetWindowRect(), Displays(), primary);
  GdkRectangle area;
  gdk_monitor_get_workarea(gdk_display_get_monitor(display, static_cast<int>(holding)), &area);
  return RectOf(area);
}

bool WxFrameWindow::EnableLayeredStyle() {
  return gdk_screen_is_composited(gtk_widget_get_screen(toplevel_));
}

bool WxFrameWindow::SetWindowAlpha(ColorRef /*key*/, uint8_t alpha, uint32_t flags) {
  if ((flags & LWA_ALPHA) == 0) return false;
  // Without a compositing manager X11 shows no translucency; the opacity is set all the same
  // and takes effect when one starts.
  opacity_ = alpha / 255.0;
  gtk_widget_set_opacity(toplevel_, opacity_);
  return EnableLayeredStyle();
}

bool WxFrameWindow::AddTrayIcon(int32_t iconId, std::string_view tooltip) {
  // Icon 128 is the only one the tool has.
  if (iconId != IDR_MAINFRAME) return false;
  tray_ = std::make_unique<GtkTrayIcon>(Cp932ToUtf8(tooltip));
  return true;
}

bool WxFrameWindow::DeleteTrayIcon() {
  const bool hadIcon = tray_ != nullptr;
  tray_.reset();
  return hadIcon;
}

void WxFrameWindow::SetWindowText(const std::string& caption) {
  frame_->SetTitle(wxString::FromUTF8(BoardTextToUtf8(caption)));
}

void WxFrameWindow::DefaultSysCommand(int32_t id, intptr_t /*lParam*/) {
  switch (id & kSysCommandMask) {
    case SC_MOVE:
      // Button 0: the window manager's keyboard move.
      BeginDrag(0);
      break;
    case SC_MINIMIZE:
      frame_->Iconize();
      break;
    case SC_CLOSE:
      frame_->Close();
      break;
    default:
      break;
  }
}

}  // namespace bolta

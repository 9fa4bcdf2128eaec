#include "platform/wx_frame_window.h"

#include <gtk/gtk.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/iconbndl.h>

#include <utility>
#include <vector>

#include "platform/app_icon.h"
#include "platform/event_loop.h"
#include "platform/gtk_system_menu.h"
#include "platform/gtk_tray_icon.h"
#include "platform/x11_frame_extents.h"
#include "res/encoding.h"
#include "res/resource.h"

namespace bolta {
namespace {

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

Rect RectOf(const wxRect& r) { return {r.x, r.y, r.x + r.width, r.y + r.height}; }

std::vector<Rect> Displays() {
  std::vector<Rect> displays;
  for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
    displays.push_back(RectOf(wxDisplay(i).GetGeometry()));
  }
  return displays;
}

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
    decorationsKnown_ = true;
    place_.TakeExtents(extents);
    // Let wxWidgets see the extents now: learning them later, it would resize the frame to keep
    // its outer size and take the room from the client area.
    ServePendingEvents();
  }
  place_.Ask(0, 0, params.cx, params.cy);
  ApplyClientSize();
  g_signal_connect(toplevel_, "configure-event", G_CALLBACK(&WxFrameWindow::OnConfigure), this);
  g_signal_connect_after(toplevel_, "draw", G_CALLBACK(&WxFrameWindow::OnDraw), this);
  g_signal_connect(toplevel_, "map-event", G_CALLBACK(&WxFrameWindow::OnMap), this);
  gtk_widget_add_events(toplevel_, GDK_PROPERTY_CHANGE_MASK);
  g_signal_connect(toplevel_, "property-notify-event", G_CALLBACK(&WxFrameWindow::OnPropertyNotify),
                   this);
  frame_->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) {
    if (events_.onDestroy) events_.onDestroy();
    tray_.reset();
    overlay_.Drop();
    closed_ = true;
    frame_->Destroy();
  });
}

WxFrameWindow::WxFrameWindow() = default;

WxFrameWindow::~WxFrameWindow() {
  if (frame_ == nullptr || closed_) return;
  // Nothing queued for this object may run once it is gone.
  frame_->DeletePendingEvents();
  frame_->Destroy();
}

int WxFrameWindow::OnConfigure(GtkWidget*, GdkEventConfigure* event, WxFrameWindow* self) {
  self->place_.Configured({event->x, event->y});
  return FALSE;
}

bool WxFrameWindow::Mapped() const { return !closed_ && gtk_widget_get_mapped(toplevel_); }

ScreenPoint WxFrameWindow::ClientOrigin() const {
  gint x = 0;
  gint y = 0;
  gdk_window_get_origin(gtk_widget_get_window(toplevel_), &x, &y);
  return {x, y};
}

void WxFrameWindow::Refresh() const {
  if (!Mapped()) return;
  place_.TakeExtents(ReadFrameExtents(toplevel_));
  // The user or the window manager may have moved the frame since.
  place_.Observed(ClientOrigin(), g_get_monotonic_time());
}

void WxFrameWindow::ApplyClientSize() {
  const Size client = place_.client();
  frame_->SetClientSize(client.cx, client.cy);
  if (gtk_widget_get_mapped(toplevel_)) return;
  // GTK sizes a hidden window's contents only when it is shown, but the page must be measured
  // at the parked size: allocate them now.
  GtkRequisition minimum;
  GtkRequisition natural;
  gtk_widget_get_preferred_size(toplevel_, &minimum, &natural);
  GtkAllocation allocation{0, 0, client.cx, client.cy};
  gtk_widget_size_allocate(toplevel_, &allocation);
}

void WxFrameWindow::ApplyPosition() {
  // GTK itself: wxWidgets skips a move to where it believes the frame is, and GTK puts a frame it
  // shows where it was last moved to.
  const Rect outer = place_.Outer();
  gtk_window_move(GTK_WINDOW(toplevel_), outer.left, outer.top);
  // The place a frame is first shown at is the user's (restored, or where the user left it):
  // window managers keep such a place, also across two monitors, where they would push one the
  // program chose onto one monitor.
  if (!gtk_widget_get_mapped(toplevel_)) {
    gtk_window_set_geometry_hints(GTK_WINDOW(toplevel_), nullptr, nullptr, GDK_HINT_USER_POS);
  }
  place_.MoveSent(g_get_monotonic_time());
}

void WxFrameWindow::Show() {
  showWanted_ = true;
  if (!place_.parked()) frame_->Show();
}

void WxFrameWindow::PopupSystemMenu(const Menu& menu) {
  bolta::PopupSystemMenu(toplevel_, menu, inputEvent_, [this](int32_t id) {
    if (!closed_ && events_.onSysCommand) events_.onSysCommand(id);
  });
}

Rect WxFrameWindow::GetWindowRect() const {
  Refresh();
  return place_.Outer();
}

void WxFrameWindow::MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height,
                               bool /*repaint: GTK repaints by itself*/) {
  if (closed_) return;
  Refresh();
  place_.Ask(x, y, width, height);
  if (place_.parked()) {
    // Only a frame nobody sees is laid out at once: the page is measured at the parked size.
    if (!gtk_widget_get_mapped(toplevel_)) ApplyClientSize();
    return;
  }
  ApplyClientSize();
  ApplyPosition();
}

void WxFrameWindow::SetParked(bool parked) {
  if (closed_ || parked == place_.parked()) return;
  if (parked) {
    place_.Park();
    if (gtk_widget_get_mapped(toplevel_)) {
      overlay_.Take(toplevel_);
      shownAt_ = ClientOrigin();
    }
    return;
  }
  const bool move = place_.Unpark(std::exchange(shownAt_, std::nullopt), ClientOrigin());
  ApplyClientSize();
  if (move) ApplyPosition();
  overlay_.Drop();
  gtk_widget_queue_draw(toplevel_);
  if (showWanted_ && !frame_->IsShown()) frame_->Show();
}

int WxFrameWindow::OnDraw(GtkWidget*, cairo_t* context, WxFrameWindow* self) {
  self->overlay_.Paint(context);
  return FALSE;
}

int WxFrameWindow::OnMap(GtkWidget*, GdkEvent*, WxFrameWindow* self) {
  if (std::exchange(self->managed_, true)) return FALSE;
  // Some window managers (icewm) follow the above state and the opacity only as they change on a
  // window they manage, and never clear an above state that was set before the map.
  self->ApplyWindowState();
  // Some (xfwm4) push even the user's place onto one monitor, but keep a move made once they
  // manage the frame: it goes back there, once.
  if (self->place_.placed() && self->ClientOrigin() != self->place_.AskedClientOrigin()) {
    self->ApplyPosition();
  }
  return FALSE;
}

int WxFrameWindow::OnPropertyNotify(GtkWidget*, GdkEventProperty* event, WxFrameWindow* self) {
  if (self->decorationsKnown_ || self->closed_ || !ChangesFrameExtents(*event)) return FALSE;
  const std::optional<FrameExtents> extents = ReadFrameExtents(self->toplevel_);
  if (!extents) return FALSE;
  // Frames asked for so far were placed without the room: the window manager put the decorations'
  // top-left corner where the frame's was asked for, and that place stands.
  self->decorationsKnown_ = true;
  self->place_.TakeExtents(extents);
  // After wxWidgets has taken the room in too, from its own handler of this change.
  self->frame_->CallAfter([self] {
    if (!self->closed_ && self->events_.onDecorationsKnown) self->events_.onDecorationsKnown();
  });
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
  if (closed_) return;
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
  if (managed_ && !closed_) gtk_window_set_keep_above(GTK_WINDOW(toplevel_), topmost);
}

Rect WxFrameWindow::GetNormalRect() const {
  // X keeps an iconified frame's place and size: its normal rectangle is its rectangle.
  return GetWindowRect();
}

Rect WxFrameWindow::GetWorkArea() const {
  const unsigned count = wxDisplay::GetCount();
  if (count == 0) return {};
  std::size_t primary = 0;
  for (unsigned i = 0; i < count; ++i) {
    if (wxDisplay(i).IsPrimary()) primary = i;
  }
  const std::size_t holding = DisplayHolding(GetWindowRect(), Displays(), primary);
  return RectOf(wxDisplay(static_cast<unsigned>(holding)).GetClientArea());
}

bool WxFrameWindow::EnableLayeredStyle() {
  return gdk_screen_is_composited(gtk_widget_get_screen(toplevel_));
}

bool WxFrameWindow::SetWindowAlpha(ColorRef /*key*/, uint8_t alpha, uint32_t flags) {
  if ((flags & LWA_ALPHA) == 0) return false;
  // Without a compositing manager X11 shows no translucency; the opacity is set all the same
  // and takes effect when one starts. Before the map it waits for the window manager.
  opacity_ = alpha / 255.0;
  if (managed_ && !closed_) gdk_window_set_opacity(gtk_widget_get_window(toplevel_), opacity_);
  return true;
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

int32_t WxFrameWindow::CaptionWidth(const std::string& caption) const {
  // The window manager draws the caption in a face of its own, often bold: the toolkit's bold
  // face is near it. Beside the text stand the window menu's icon and the frame's buttons.
  constexpr int32_t kCaptionChrome = 120;
  const std::string text = BoardTextToUtf8(caption);
  g_autoptr(PangoLayout) layout = gtk_widget_create_pango_layout(toplevel_, text.c_str());
  PangoFontDescription* font = pango_font_description_copy(
      pango_context_get_font_description(pango_layout_get_context(layout)));
  pango_font_description_set_weight(font, PANGO_WEIGHT_BOLD);
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);
  int width = 0;
  pango_layout_get_pixel_size(layout, &width, nullptr);
  return width + kCaptionChrome + place_.extents().left + place_.extents().right;
}

void WxFrameWindow::SetWindowText(const std::string& caption) {
  if (closed_) return;
  frame_->SetTitle(wxString::FromUTF8(BoardTextToUtf8(caption)));
}

void WxFrameWindow::DefaultSysCommand(int32_t id, intptr_t /*lParam*/) {
  if (closed_) return;
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

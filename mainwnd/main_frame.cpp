#include "mainwnd/main_frame.h"

#include <algorithm>
#include <string_view>

#include "app/bolta_doc.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "mainwnd/center_rule.h"
#include "mainwnd/proxy_settings_flow.h"
#include "res/resource.h"
#include "res/texts.h"

namespace bolta {
namespace {

// The width the frame is created and restored with; its height comes from the view's fit.
constexpr int32_t kStartWidth = 200;

bool IsStep(int32_t step) { return step >= 0 && step < kTransparencySteps; }

}  // namespace

uint8_t AlphaOfStep(int32_t step) {
  if (!IsStep(step)) step = 0;
  return static_cast<uint8_t>(255.0 - step * 25.5);
}

CMainFrame::CMainFrame(FrameWindow& window, SettingsStore& settings,
                       ProxySettingsDialogRunner& proxyDialog)
    : window_(window), settings_(settings), proxyDialog_(proxyDialog) {}

void CMainFrame::PreCreateWindow(FrameCreateParams& cs) const {
  cs.cx = kStartWidth;
  cs.cy = 0;
  cs.caption = true;
  cs.systemMenu = true;
  cs.minimizeBox = true;
  cs.maximizeBox = false;
  cs.sizingBorder = false;
}

void CMainFrame::OnCreate() {
  EditSystemMenu();
  RestorePosition();
  ApplyTransparency(settings_.GetProfileInt(key::kSection, key::kTransparent, 0));
  const bool topmost = settings_.GetProfileInt(key::kSection, key::kWindowTopmost, 1) != 0;
  window_.SetTopmost(topmost);
  systemMenu_.CheckMenuItem(IDM_TOPMOST, topmost);
  window_.AddTrayIcon(IDR_MAINFRAME, text::kTrayTooltip);
}

void CMainFrame::EditSystemMenu() {
  systemMenu_ = bolta::GetSystemMenu();  // the standard menu, not this frame's accessor
  systemMenu_.RemoveMenu(0);             // Restore
  systemMenu_.RemoveMenu(1);             // Size
  systemMenu_.RemoveMenu(2);             // Maximize
  systemMenu_.InsertMenu(1, IDM_CENTER_WINDOW, std::string(text::kMenuCenterWindow));
  systemMenu_.InsertSeparator(3);
  systemMenu_.InsertMenu(4, IDM_TOPMOST, std::string(text::kMenuTopmost));
  systemMenu_.InsertPopup(5, std::string(text::kMenuTransparency), LoadTransparencyMenu());
  systemMenu_.InsertSeparator(6);
  systemMenu_.InsertMenu(7, IDM_PROXY_SETTINGS, std::string(text::kMenuProxySettings));
}

void CMainFrame::RestorePosition() {
  const Rect stored{settings_.GetProfileInt(key::kSection, key::kWindowLeft, 0),
                    settings_.GetProfileInt(key::kSection, key::kWindowTop, 0),
                    settings_.GetProfileInt(key::kSection, key::kWindowRight, 0),
                    settings_.GetProfileInt(key::kSection, key::kWindowBottom, 0)};
  // Right and bottom only say whether a position was stored: the view's fit sizes the frame.
  if (stored.IsEmpty()) return;
  window_.MoveWindow(stored.left, stored.top, kStartWidth, 0, false);
  // A place on a monitor that has gone would leave the window where nobody can reach it, and its
  // menu with it: it comes up centred on the primary monitor instead (the frame lies on none
  // now), and once more when the first fit has given it its size.
  if (!window_.IsOnADisplay(stored)) {
    CenterWindow();
    recentre_ = Recentre::AtFit;
  }
}

void CMainFrame::BeginPark() {
  rectBeforePark_ = window_.GetWindowRect();
  window_.SetParked(true);
}

void CMainFrame::EndPark() {
  rectBeforePark_.reset();
  window_.SetParked(false);
}

void CMainFrame::Fitted() {
  if (recentre_ != Recentre::AtFit) return;
  recentre_ = Recentre::WhenDecorated;
  // Moved where it stands: within a park the move waits for its end, and comes with the fit.
  const Rect placed = CenteredRect(window_.GetWindowRect());
  window_.MoveWindow(placed.left, placed.top, placed.Width(), placed.Height(), true);
}

void CMainFrame::DecorationsKnown() {
  if (recentre_ != Recentre::WhenDecorated) return;
  recentre_ = Recentre::No;
  CenterWindow();
}

void CMainFrame::ApplyTransparency(int32_t step) {
  // A step this tool never writes (a hand-edited file) is shown and applied as step 0.
  if (!IsStep(step)) step = 0;
  systemMenu_.CheckMenuRadioItem(IDM_ALPHA_FIRST, IDM_ALPHA_LAST,
                                 IDM_ALPHA_FIRST + kAlphaIdStep * step);
  EnableLayeredStyle();
  SetWindowAlpha(0, AlphaOfStep(step), LWA_ALPHA);
}

void CMainFrame::OnSysCommand(int32_t id, intptr_t lParam) {
  const int32_t command = id & kSysCommandMask;
  if (command == IDM_TOPMOST) {
    ToggleTopmost();
  } else if (command == IDM_CENTER_WINDOW) {
    CenterWindow();
  } else if (command == IDM_PROXY_SETTINGS) {
    RunProxySettingsCommand(settings_, proxyDialog_);
  } else if (command >= IDM_ALPHA_FIRST && command <= IDM_ALPHA_LAST) {
    const int32_t step = (command - IDM_ALPHA_FIRST) / kAlphaIdStep;
    systemMenu_.CheckMenuRadioItem(IDM_ALPHA_FIRST, IDM_ALPHA_LAST, command);
    SetWindowAlpha(0, AlphaOfStep(step), LWA_ALPHA);
    settings_.WriteProfileInt(key::kSection, key::kTransparent, step);
    window_.DefaultSysCommand(id, lParam);
  } else {
    window_.DefaultSysCommand(id, lParam);
  }
}

void CMainFrame::ToggleTopmost() {
  const bool topmost = !systemMenu_.IsChecked(IDM_TOPMOST);
  window_.SetTopmost(topmost);
  systemMenu_.CheckMenuItem(IDM_TOPMOST, topmost);
}

Rect CMainFrame::CenteredRect(const Rect& frame) const {
  // The frame has no owner: the work area is both the reference and the bounds.
  const Rect area = window_.GetWorkArea();
  return CenterRect({frame.Width(), frame.Height()}, area, area);
}

void CMainFrame::CenterWindow() {
  // While the view has the frame parked, the user still sees it where it was: that place is the
  // one centred, and the fit brings the frame there.
  const Rect placed = CenteredRect(rectBeforePark_.value_or(window_.GetWindowRect()));
  if (rectBeforePark_) {
    rectBeforePark_ = placed;
    return;
  }
  window_.MoveWindow(placed.left, placed.top, placed.Width(), placed.Height(), true);
}

int32_t CMainFrame::CaptionFitWidth(const std::string& caption) const {
  return std::min(window_.CaptionWidth(caption), window_.GetWorkArea().Width());
}

void CMainFrame::OnDestroy() {
  const Rect normal = rectBeforePark_ ? *rectBeforePark_ : window_.GetNormalRect();
  settings_.WriteProfileInt(key::kSection, key::kWindowLeft, normal.left);
  settings_.WriteProfileInt(key::kSection, key::kWindowTop, normal.top);
  settings_.WriteProfileInt(key::kSection, key::kWindowRight, normal.right);
  settings_.WriteProfileInt(key::kSection, key::kWindowBottom, normal.bottom);
  settings_.WriteProfileInt(key::kSection, key::kWindowTopmost,
                            systemMenu_.IsChecked(IDM_TOPMOST) ? 1 : 0);
  window_.DeleteTrayIcon();
}

void CMainFrame::OnUpdateFrameTitle(bool addToTitle) {
  window_.SetWindowText(addToTitle && activeDocument_ != nullptr ? activeDocument_->GetTitle()
                                                                 : std::string());
}

bool CMainFrame::RemoveTrayIcon() { return window_.DeleteTrayIcon(); }

bool CMainFrame::EnableLayeredStyle() { return window_.EnableLayeredStyle(); }

bool CMainFrame::SetWindowAlpha(ColorRef key, uint8_t alpha, uint32_t flags) {
  return window_.SetWindowAlpha(key, alpha, flags);
}

}  // namespace bolta

#include "display/bolta_view.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "app/bolta_doc.h"
#include "app/proxy_setting.h"
#include "display/page_composition.h"
#include "mainwnd/main_frame.h"
#include "res/texts.h"

namespace bolta {
namespace {

// Where a loading page waits: far off the screen and small, so that the user never sees the
// frame resize.
constexpr int32_t kParkOffset = 9999;
constexpr int32_t kParkedWidth = 100;
constexpr int32_t kParkedHeight = 10;

constexpr int32_t kFitMargin = 4;

// The view's height while the page is shown before it has loaded: room for a line of the page.
constexpr int32_t kLoadingClientHeight = 32;

}  // namespace

CBoltaView::CBoltaView(ViewContext context, std::optional<std::string> commandLineAddress)
    : context_(context), commandLineAddress_(std::move(commandLineAddress)) {}

void CBoltaView::OnInitialUpdate() {
  if (!commandLineAddress_) {
    ShowMessagePage(std::string(text::kMsgInvalidArgument));
  } else {
    FetchSignboard(*commandLineAddress_);
  }
}

void CBoltaView::FetchSignboard(const std::string& boardAddress) {
  bolta::FetchSignboard(boardAddress, ReadProxySetting(context_.settings), context_.internet,
                        address, info, *this);
}

bool CBoltaView::PreTranslateMessage(const Msg& msg) {
  switch (msg.message) {
    case WM_LBUTTONDOWN:
      // The picture has no use for clicks: the whole page is the frame's handle.
      context_.frame.BeginMoveDrag();
      return true;
    case WM_KEYDOWN:
      if (msg.wParam == VK_F5) {
        MoveOffScreen();
        context_.browser.Refresh();
        context_.window.SetTimer(kRefreshTimer, kRefreshIntervalMs);
      }
      return true;
    default:
      return false;
  }
}

void CBoltaView::OnDocumentComplete(const std::string& /*url*/) {
  FitWindowToContent(true);
  context_.window.KillTimer(kRefreshTimer);
}

void CBoltaView::OnTimer(int32_t /*id*/) {
  // A refresh raises no document-complete: the timer watches for the reload's end instead.
  if (context_.browser.GetReadyState() == READYSTATE_COMPLETE) {
    FitWindowToContent(true);
    context_.window.KillTimer(kRefreshTimer);
    return;
  }
  // Through an F5 the user goes on seeing the old page; before the first showing, nothing but the
  // tray icon, which stays until the frame comes out of its park.
  if (!shown_ && ++loadingTicks_ * kRefreshIntervalMs >= kShowWhileLoadingMs) ShowWhileLoading();
}

void CBoltaView::ShowSignboardPage() {
  context_.document.SetTitle(std::string(text::kTitleLoadingPicture));
  Navigate(ComposeSignboardPage(info.backgroundPictureUrl, info.titlePictureUrl));
}

void CBoltaView::ShowMessagePage(const std::string& message) {
  Navigate(ComposeMessagePage(message));
  info.title = std::string(text::kTitleMessagePage);
}

void CBoltaView::Navigate(const std::string& page) {
  MoveOffScreen();
  context_.browser.Navigate2(page);
  loadingTicks_ = 0;
  context_.window.SetTimer(kRefreshTimer, kRefreshIntervalMs);
}

void CBoltaView::MoveOffScreen() {
  // A second park before the fit (F5 again, or held) would leave the frame off the screen: the
  // first park's place is the one to come back to.
  CMainFrame& frame = context_.frame;
  if (frame.GetRectBeforePark()) return;
  const Rect outer = frame.GetWindowRect();
  frame.BeginPark();
  frame.MoveWindow(outer.left + kParkOffset, outer.top + kParkOffset, kParkedWidth, kParkedHeight,
                   true);
}

void CBoltaView::FitWindowToContent(bool withMargin) {
  CMainFrame& frame = context_.frame;
  const std::optional<Rect> before = frame.GetRectBeforePark();
  const Rect outer = frame.GetWindowRect();
  const Rect client = context_.window.GetClientRect();
  const std::optional<HtmlDocument> document = context_.browser.GetHtmlDocument();

  if (document && document->bodyScrollSize) {
    const int32_t margin = withMargin ? kFitMargin : 0;
    // The room the frame's decorations take around the view, measured as the frame is now.
    int32_t width = document->bodyScrollSize->cx + outer.Width() - client.Width() + margin;
    const int32_t height = document->bodyScrollSize->cy + outer.Height() - client.Height() + margin;
    // A broken picture's sign is small: the board's title must still be readable.
    if (document->pictureMissing)
      width = std::max(width, context_.frame.CaptionFitWidth(info.title));
    // Resized where it is parked, so that the user never sees it, then brought back.
    frame.MoveWindow(outer.left, outer.top, width, height, true);
    if (before) frame.MoveWindow(before->left, before->top, width, height, true);
    frame.Fitted();
  } else if (before) {
    // Nothing to measure: come back as the frame was rather than stay hidden or shrink to nothing.
    frame.MoveWindow(before->left, before->top, before->Width(), before->Height(), true);
  }
  if (before) EndPark();
  context_.document.SetTitle(info.title);
}

void CBoltaView::ShowWhileLoading() {
  CMainFrame& frame = context_.frame;
  const std::optional<Rect> before = frame.GetRectBeforePark();
  if (!before) return;
  const Rect outer = frame.GetWindowRect();
  const Rect client = context_.window.GetClientRect();
  const int32_t width =
      std::max(before->Width(), frame.CaptionFitWidth(context_.document.GetTitle()));
  const int32_t height =
      std::max(before->Height(), kLoadingClientHeight + outer.Height() - client.Height());
  frame.MoveWindow(before->left, before->top, width, height, true);
  EndPark();
}

void CBoltaView::EndPark() {
  context_.frame.EndPark();
  if (!std::exchange(shown_, true)) context_.frame.RemoveTrayIcon();
}

}  // namespace bolta

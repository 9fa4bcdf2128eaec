#include "platform/wx_proxy_settings_dlg.h"

#include <gtk/gtk.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/fontenum.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <string_view>

#include "mainwnd/center_rule.h"
#include "mainwnd/frame_window.h"
#include "mainwnd/proxy_settings_exchange.h"
#include "platform/event_loop.h"
#include "platform/wx_frame_window.h"
#include "platform/x11_frame_extents.h"
#include "res/encoding.h"
#include "res/resource.h"
#include "res/texts.h"

namespace bolta {
namespace {

wxString FromCp932(std::string_view cp932) { return wxString::FromUTF8(Cp932ToUtf8(cp932)); }

// The template's font where the system has that face; else IPA P Gothic, the proportional
// Gothic that Debian ships in its place; else the system's own face, at the template's size.
wxFont DialogFont() {
  wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
  font.SetPointSize(9);
  for (const wxString& face : {FromCp932(text::kDlgFontFace), wxString("IPAPGothic")}) {
    if (wxFontEnumerator::IsValidFacename(face)) {
      font.SetFaceName(face);
      break;
    }
  }
  return font;
}

// A control's place in the template, in dialog units.
struct Placement {
  int x, y, cx, cy;
};

// A label wider than its place in the template (a face other than the template's) keeps its
// whole text.
void Unclipped(wxWindow* label) {
  const wxSize size = label->GetSize();
  label->SetSize(std::max(size.x, label->GetBestSize().x), size.y);
}

std::string_view ProblemText(TextProblem problem) {
  switch (problem) {
    case TextProblem::kNoCp932Form:
      return text::kMsgTextHasNoCp932Form;
    case TextProblem::kLineBreak:
      return text::kMsgTextHasLineBreak;
    case TextProblem::kTooLong:
      return text::kMsgTextTooLong;
  }
  return text::kMsgTextHasNoCp932Form;
}

}  // namespace

CProxySettingsDlg::CProxySettingsDlg(wxWindow* parent)
    : wxDialog(parent, IDD_PROXY_SETTINGS, FromCp932(text::kDlgProxyCaption), wxDefaultPosition,
               wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
  // Dialog units follow the dialog's font, so it is set before anything is measured.
  SetFont(DialogFont());
  const auto pos = [this](Placement p) { return ConvertDialogToPixels(wxPoint(p.x, p.y)); };
  const auto size = [this](Placement p) { return ConvertDialogToPixels(wxSize(p.cx, p.cy)); };

  // Created in tab order.
  constexpr Placement kOk{7, 82, 50, 14}, kCancel{62, 82, 50, 14}, kUseProxy{7, 2, 105, 11},
      kAddressLabel{7, 19, 52, 8}, kAddress{7, 29, 105, 14}, kPortLabel{7, 47, 105, 8},
      kPort{7, 57, 105, 13};
  auto* ok = new wxButton(this, IDOK, FromCp932(text::kDlgOk), pos(kOk), size(kOk));
  new wxButton(this, IDCANCEL, FromCp932(text::kDlgCancel), pos(kCancel), size(kCancel));
  useProxy_ = new wxCheckBox(this, IDC_USE_PROXY, FromCp932(text::kDlgUseProxy), pos(kUseProxy),
                             size(kUseProxy));
  Unclipped(useProxy_);
  Unclipped(new wxStaticText(this, wxID_STATIC, FromCp932(text::kDlgProxyAddress),
                             pos(kAddressLabel), size(kAddressLabel)));
  address_ = new wxTextCtrl(this, IDC_PROXY_ADDRESS, wxString(), pos(kAddress), size(kAddress));
  Unclipped(new wxStaticText(this, wxID_STATIC, FromCp932(text::kDlgProxyPort), pos(kPortLabel),
                             size(kPortLabel)));
  port_ = new wxTextCtrl(this, IDC_PROXY_PORT, wxString(), pos(kPort), size(kPort));

  SetClientSize(ConvertDialogToPixels(wxSize(119, 105)));
  SetAffirmativeId(IDOK);
  SetEscapeId(IDCANCEL);
  ok->SetDefault();
  ok->SetFocus();
}

void CProxySettingsDlg::CenterOn(const Rect& reference, const Rect& area) {
  const auto place = [this, reference, area] {
    const wxSize outer = GetSize();
    const Rect placed = CenterRect({outer.x, outer.y}, reference, area);
    Move(placed.left, placed.top);
  };
  place();
  // Without a window manager that tells the decorations beforehand the outer size is a guess
  // until it has framed the dialog: place it again once they are known (nothing else resizes it).
  Bind(wxEVT_SIZE, [place](wxSizeEvent& event) {
    place();
    event.Skip();
  });
}

bool CProxySettingsDlg::TransferDataToWindow() {
  const ProxySettingsControls shown = ExchangeIntoDialog(*this);
  address_->ChangeValue(wxString::FromUTF8(shown.address));
  port_->ChangeValue(wxString::FromUTF8(shown.port));
  useProxy_->SetValue(shown.useProxy);
  return true;
}

bool CProxySettingsDlg::TransferDataFromWindow() {
  const ProxySettingsControls typed{address_->GetValue().utf8_string(),
                                    port_->GetValue().utf8_string(), useProxy_->GetValue()};
  const std::optional<ExchangeFailure> failure = ExchangeOutOfDialog(typed, *this);
  if (!failure) return true;

  // The dialog stays open with the text as typed; the caption names the field.
  wxTextCtrl* edit = failure->controlId == IDC_PROXY_ADDRESS ? address_ : port_;
  const std::string_view label =
      failure->controlId == IDC_PROXY_ADDRESS ? text::kDlgProxyAddress : text::kDlgProxyPort;
  wxMessageBox(FromCp932(ProblemText(failure->problem)), FromCp932(label), wxOK | wxICON_WARNING,
               this);
  edit->SetFocus();
  edit->SelectAll();
  return false;
}

int WxProxySettingsDialogRunner::DoModal(ProxySettingsData& data) {
  wxFrame* frame = frame_.frame();
  CProxySettingsDlg dialog(frame);
  static_cast<ProxySettingsData&>(dialog) = data;

  // Centring needs the outer size: ask the window manager for the decorations before the first
  // show, and let wxWidgets take them in.
  gtk_widget_realize(dialog.GetHandle());
  if (RequestFrameExtents(dialog.GetHandle())) ServePendingEvents();
  const Rect area = frame_.GetWorkArea();
  dialog.CenterOn(frame->IsIconized() || !frame->IsShown() ? area : frame_.GetWindowRect(), area);

  // Transient for the frame, which window managers keep it above; that is not enough when the
  // frame itself is kept above everything.
  if (frame_.IsTopmost()) dialog.SetWindowStyleFlag(dialog.GetWindowStyleFlag() | wxSTAY_ON_TOP);

  const int result = dialog.ShowModal() == IDOK ? IDOK : IDCANCEL;
  data = static_cast<const ProxySettingsData&>(dialog);
  return result;
}

}  // namespace bolta

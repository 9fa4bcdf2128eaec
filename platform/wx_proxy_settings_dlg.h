#pragma once
// The proxy settings dialog (resource 133) over wxWidgets, and the runner through which the
// frame's proxy command shows it.
#include <wx/dialog.h>

#include "mainwnd/proxy_settings_flow.h"

class wxCheckBox;
class wxTextCtrl;

namespace bolta {

struct Rect;
class WxFrameWindow;

// Caption, seven controls laid out in dialog units, OK the default button. The data exchange
// runs through the window's transfer: into the controls when it opens, out of them on OK only.
class CProxySettingsDlg : public wxDialog, public ProxySettingsData {
 public:
  explicit CProxySettingsDlg(wxWindow* parent);

  // Centred on `reference` by the centre rule, kept inside `area`.
  void CenterOn(const Rect& reference, const Rect& area);

  bool TransferDataToWindow() override;
  // Refuses, with a message and the edit focused, a text that cannot be stored as typed.
  bool TransferDataFromWindow() override;

 private:
  wxCheckBox* useProxy_ = nullptr;
  wxTextCtrl* address_ = nullptr;
  wxTextCtrl* port_ = nullptr;
};

// Shows the dialog modally, owned by the frame, centred on it within the work area of its
// display, and above it when the frame stays on top.
class WxProxySettingsDialogRunner final : public ProxySettingsDialogRunner {
 public:
  // `frame` may be created later; it must exist by the first DoModal.
  explicit WxProxySettingsDialogRunner(const WxFrameWindow& frame) : frame_(frame) {}

  int DoModal(ProxySettingsData& data) override;

 private:
  const WxFrameWindow& frame_;
};

}  // namespace bolta

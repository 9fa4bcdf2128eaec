#pragma once
// The proxy dialog as a user drives it: the real exchange into and out of the controls, with the
// user's edits and button scripted.
#include <functional>

#include "mainwnd/proxy_settings_exchange.h"
#include "res/resource.h"

namespace bolta {

class ScriptedProxyDialog final : public ProxySettingsDialogRunner {
 public:
  std::function<void(ProxySettingsControls&)> edit;  // what the user does to the controls
  bool pressOk = false;                              // OK, else cancel

  int DoModal(ProxySettingsData& data) override {
    ProxySettingsControls controls = ExchangeIntoDialog(data);
    if (edit) edit(controls);
    // An OK the exchange refuses keeps the dialog open; the user then cancels.
    return pressOk && !ExchangeOutOfDialog(controls, data) ? IDOK : IDCANCEL;
  }
};

}  // namespace bolta

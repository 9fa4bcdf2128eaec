#pragma once
// The proxy dialog as a user drives it: the real exchange into and out of the controls, with the
// user's edits and button scripted.
#include <functional>
#include <optional>

#include "mainwnd/proxy_settings_exchange.h"
#include "mainwnd/proxy_settings_flow.h"
#include "res/resource.h"

namespace bolta {

class ScriptedProxyDialog final : public ProxySettingsDialogRunner {
 public:
  std::function<void(ProxySettingsControls&)> edit;  // what the user does to the controls
  bool pressOk = false;                              // OK, else cancel
  bool canShow = true;                               // false: the dialog cannot be created
  std::function<void()> whileOpen;                   // looks at the world while it is open

  std::optional<ProxySettingsData> opened;   // the members it was given
  std::optional<ExchangeFailure> refusedOk;  // an OK the exchange refused; the user then cancels

  int DoModal(ProxySettingsData& data) override {
    if (!canShow) return -1;
    opened = data;
    ProxySettingsControls controls = ExchangeIntoDialog(data);
    if (whileOpen) whileOpen();
    if (edit) edit(controls);
    if (!pressOk) return IDCANCEL;
    refusedOk = ExchangeOutOfDialog(controls, data);
    return refusedOk ? IDCANCEL : IDOK;
  }
};

}  // namespace bolta

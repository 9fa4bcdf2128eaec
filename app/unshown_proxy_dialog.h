#pragma once
// The proxy settings command's dialog until the real one exists: it closes as cancelled at once,
// so the command still writes the three keys back unchanged.
#include "mainwnd/proxy_settings_flow.h"
#include "res/resource.h"

namespace bolta {

class UnshownProxyDialog final : public ProxySettingsDialogRunner {
 public:
  int DoModal(ProxySettingsData& /*data*/) override { return IDCANCEL; }
};

}  // namespace bolta

#include "mainwnd/proxy_settings_flow.h"

#include "app/settings_keys.h"
#include "app/settings_store.h"

namespace bolta {
void RunProxySettingsCommand(SettingsStore& settings, ProxySettingsDialogRunner& dialog) {
  ProxySettingsData data;
  data.m_strProxyAddress = settings.GetProfileString(key::kSection, key::kProxyAddress);
  data.m_strProxyPort = settings.GetProfileString(key::kSection, key::kProxyPort);
  data.m_bUseProxy = settings.GetProfileInt(key::kSection, key::kUseProxy, 0);

  // However the dialog closed, the members hold what is to be stored: after a cancel (or a dialog
  // that could not be shown) what was read, save a flag the exchange set to 0.
  dialog.DoModal(data);

  settings.WriteProfileString(key::kSection, key::kProxyAddress, data.m_strProxyAddress);
  settings.WriteProfileString(key::kSection, key::kProxyPort, data.m_strProxyPort);
  settings.WriteProfileInt(key::kSection, key::kUseProxy, data.m_bUseProxy);
}

}  // namespace bolta

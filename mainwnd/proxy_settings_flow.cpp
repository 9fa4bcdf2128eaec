#include "mainwnd/proxy_settings_flow.h"

#include "app/proxy_setting.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"

namespace bolta {
void RunProxySettingsCommand(SettingsStore& settings, ProxySettingsDialogRunner& dialog) {
  const ProxySetting stored = ReadProxySetting(settings);
  ProxySettingsData data;
  data.m_strProxyAddress = stored.address;
  data.m_strProxyPort = stored.port;
  data.m_bUseProxy = stored.useProxy;

  // However the dialog closed, the members hold what is to be stored: after a cancel (or a dialog
  // that could not be shown) what was read, save a flag the exchange set to 0.
  dialog.DoModal(data);

  settings.WriteProfileString(key::kSection, key::kProxyAddress, data.m_strProxyAddress);
  settings.WriteProfileString(key::kSection, key::kProxyPort, data.m_strProxyPort);
  settings.WriteProfileInt(key::kSection, key::kUseProxy, data.m_bUseProxy);
}

}  // namespace bolta

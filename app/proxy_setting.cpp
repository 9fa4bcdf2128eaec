#include "app/proxy_setting.h"

#include "app/settings_keys.h"
#include "app/settings_store.h"

namespace bolta {

ProxySetting ReadProxySetting(const SettingsStore& settings) {
  ProxySetting proxy;
  proxy.address = settings.GetProfileString(key::kSection, key::kProxyAddress);
  proxy.port = settings.GetProfileString(key::kSection, key::kProxyPort);
  proxy.useProxy = settings.GetProfileInt(key::kSection, key::kUseProxy, 0);
  return proxy;
}

}  // namespace bolta

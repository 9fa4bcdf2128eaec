#include "mainwnd/proxy_settings_flow.h"

#include <string_view>

#include "app/settings_store.h"

namespace bolta {
namespace {

constexpr std::string_view kKeyProxyAddress = "PROXY_ADDRESS";
constexpr std::string_view kKeyProxyPort = "PROXY_PORT";
constexpr std::string_view kKeyUseProxy = "USE_PROXY";

}  // namespace

void RunProxySettingsCommand(SettingsStore& settings, ProxySettingsDialogRunner& dialog) {
  ProxySettingsData data;
  data.m_strProxyAddress = settings.GetProfileString(kSettingsSection, kKeyProxyAddress);
  data.m_strProxyPort = settings.GetProfileString(kSettingsSection, kKeyProxyPort);
  data.m_bUseProxy = settings.GetProfileInt(kSettingsSection, kKeyUseProxy, 0);

  // However the dialog closed, the members hold what is to be stored: after a cancel (or a dialog
  // that could not be shown) what was read, save a flag the exchange set to 0.
  dialog.DoModal(data);

  settings.WriteProfileString(kSettingsSection, kKeyProxyAddress, data.m_strProxyAddress);
  settings.WriteProfileString(kSettingsSection, kKeyProxyPort, data.m_strProxyPort);
  settings.WriteProfileInt(kSettingsSection, kKeyUseProxy, data.m_bUseProxy);
}

}  // namespace bolta

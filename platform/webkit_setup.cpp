#include "platform/webkit_setup.h"

#include <webkit2/webkit2.h>

#include <vector>

namespace bolta {
namespace {

// From fonts-ipafont-gothic: the face that stands in for the message page's Gothic face.
constexpr const char* kJapaneseGothicFamily = "IPAPGothic";

// The proxy settings of the engine's network process, which start that process.
void UseProxyRoutes(WebKitWebsiteDataManager* data, const std::optional<ProxyRoutes>& proxies) {
  if (!proxies) {
    webkit_website_data_manager_set_network_proxy_settings(data, WEBKIT_NETWORK_PROXY_MODE_DEFAULT,
                                                           nullptr);
    return;
  }
  std::vector<const char*> bypass;
  for (const std::string& host : proxies->bypass) bypass.push_back(host.c_str());
  bypass.push_back(nullptr);
  // Addresses of other schemes, which the page does not use, go straight.
  WebKitNetworkProxySettings* settings = webkit_network_proxy_settings_new(nullptr, bypass.data());
  if (!proxies->http.empty()) {
    webkit_network_proxy_settings_add_proxy_for_scheme(settings, "http", proxies->http.c_str());
  }
  if (!proxies->https.empty()) {
    webkit_network_proxy_settings_add_proxy_for_scheme(settings, "https", proxies->https.c_str());
  }
  webkit_website_data_manager_set_network_proxy_settings(data, WEBKIT_NETWORK_PROXY_MODE_CUSTOM,
                                                         settings);
  webkit_network_proxy_settings_free(settings);
}

}  // namespace

void PrepareWebEngine(const std::optional<ProxyRoutes>& proxies) {
  WebKitWebContext* context = webkit_web_context_get_default();
  webkit_web_context_set_cache_model(context, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
  webkit_web_context_set_spell_checking_enabled(context, FALSE);
  UseProxyRoutes(webkit_web_context_get_website_data_manager(context), proxies);
}

void HardenWebView(WebKitWebView* web) {
  WebKitSettings* settings = webkit_web_view_get_settings(web);
  // Script elements and attributes are dropped while the page is parsed; the host's own script
  // (the page's measurement) still runs.
  webkit_settings_set_enable_javascript_markup(settings, FALSE);
  webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
  webkit_settings_set_enable_developer_extras(settings, FALSE);
  // Two still pictures need nothing else the engine offers; each feature left on costs start-up
  // and memory in the web process.
  webkit_settings_set_enable_media(settings, FALSE);
  webkit_settings_set_enable_mediasource(settings, FALSE);
  webkit_settings_set_enable_media_stream(settings, FALSE);
  webkit_settings_set_enable_encrypted_media(settings, FALSE);
  webkit_settings_set_enable_webaudio(settings, FALSE);
  webkit_settings_set_enable_webgl(settings, FALSE);
  webkit_settings_set_enable_webrtc(settings, FALSE);
  webkit_settings_set_enable_page_cache(settings, FALSE);
  webkit_settings_set_enable_html5_database(settings, FALSE);
  webkit_settings_set_enable_html5_local_storage(settings, FALSE);
  webkit_settings_set_enable_smooth_scrolling(settings, FALSE);
  // The message page asks for the Windows Japanese Gothic face, which Linux does not have by that
  // name; an unknown face falls back to the default family, so make that the Japanese Gothic
  // face Debian ships, and the text art keeps one face's metrics throughout.
  webkit_settings_set_default_font_family(settings, kJapaneseGothicFamily);
  webkit_settings_set_sans_serif_font_family(settings, kJapaneseGothicFamily);
  g_signal_connect(webkit_web_view_get_context(web), "download-started",
                   G_CALLBACK(+[](WebKitWebContext*, WebKitDownload* download) {
                     webkit_download_cancel(download);
                   }),
                   nullptr);
}

}  // namespace bolta

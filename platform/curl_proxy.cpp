#include "platform/curl_proxy.h"

#include <curl/curl.h>

#include <memory>
#include <sstream>
#include <string_view>

namespace bolta {
namespace {

struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct TextDeleter {
  void operator()(char* text) const { curl_free(text); }
};
using Text = std::unique_ptr<char, TextDeleter>;

Text Part(CURLU* url, CURLUPart part, unsigned int flags = 0) {
  char* text = nullptr;
  if (curl_url_get(url, part, &text, flags) != CURLUE_OK) return nullptr;
  return Text(text);
}

}  // namespace

std::string ProxyUri(const std::string& name) {
  const std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
  // The flags libcurl itself reads a proxy's name with.
  if (!url || curl_url_set(url.get(), CURLUPART_URL, name.c_str(),
                           CURLU_NON_SUPPORT_SCHEME | CURLU_GUESS_SCHEME) != CURLUE_OK) {
    return name;
  }
  const Text scheme = Part(url.get(), CURLUPART_SCHEME);
  if (!Part(url.get(), CURLUPART_PORT)) {
    const bool https = scheme && std::string_view(scheme.get()) == "https";
    curl_url_set(url.get(), CURLUPART_PORT, https ? "443" : "1080", 0);
  }
  const Text uri = Part(url.get(), CURLUPART_URL);
  return uri ? std::string(uri.get()) : name;
}

ProxyRoutes NamedProxyRoutes(const std::string& name) {
  const std::string uri = ProxyUri(name);
  return {uri, uri, {}};
}

std::optional<ProxyRoutes> EnvironmentProxyRoutes(
    const std::function<const char*(const char*)>& variable) {
  // libcurl's order: the scheme's own variable (never HTTP_PROXY in capitals, which a CGI
  // server sets from a request's header), then all_proxy; an empty one means none.
  const auto proxyFor = [&variable](const char* lower, const char* upper) -> const char* {
    const char* value = variable(lower);
    if (value == nullptr && upper != nullptr) value = variable(upper);
    if (value == nullptr) value = variable("all_proxy");
    if (value == nullptr) value = variable("ALL_PROXY");
    return value;
  };
  const char* http = proxyFor("http_proxy", nullptr);
  const char* https = proxyFor("https_proxy", "HTTPS_PROXY");
  if (http == nullptr && https == nullptr) return std::nullopt;

  const char* noProxy = variable("no_proxy");
  if (noProxy == nullptr) noProxy = variable("NO_PROXY");
  const std::string bypass = noProxy != nullptr ? noProxy : "";
  if (bypass == "*") return ProxyRoutes{};
  ProxyRoutes routes;
  if (http != nullptr && *http != '\0') routes.http = ProxyUri(http);
  if (https != nullptr && *https != '\0') routes.https = ProxyUri(https);
  // Hosts apart by commas, spaces around them. Each matches its subdomains too, with or without
  // a leading dot, in both stacks.
  std::istringstream hosts(bypass);
  for (std::string host; std::getline(hosts, host, ',');) {
    const std::size_t first = host.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    routes.bypass.push_back(host.substr(first, host.find_last_not_of(" \t") - first + 1));
  }
  return routes;
}

}  // namespace bolta

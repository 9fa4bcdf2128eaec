#include "platform/curl_proxy.h"

#include <curl/curl.h>

#include <memory>
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

}  // namespace bolta

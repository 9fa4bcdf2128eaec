#include "platform/http_target.h"

#include <curl/curl.h>

#include <charconv>
#include <memory>

#include "retrieval/internet.h"

namespace bolta {
namespace {

struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

bool IsAsciiAlnum(unsigned char byte) {
  return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
         (byte >= 'a' && byte <= 'z');
}

bool IsHexDigit(char byte) {
  return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'F') ||
         (byte >= 'a' && byte <= 'f');
}

}  // namespace

// One "/" in front of the object name unless it has one, and every byte that cannot stand in a
// request target percent-encoded, so that nothing of the board is dropped or read as a query, a
// fragment or a broken escape. Escapes already in it are kept.
std::string RequestPath(std::string_view objectName) {
  static constexpr std::string_view kPathBytes = "-._~!$&'()*+,;=:@/";
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string path = objectName.starts_with('/') ? "" : "/";
  for (std::size_t i = 0; i < objectName.size(); ++i) {
    const auto byte = static_cast<unsigned char>(objectName[i]);
    const bool escape = byte == '%' && i + 2 < objectName.size() && IsHexDigit(objectName[i + 1]) &&
                        IsHexDigit(objectName[i + 2]);
    if (IsAsciiAlnum(byte) || kPathBytes.find(char(byte)) != std::string_view::npos || escape) {
      path += char(byte);
    } else {
      path += '%';
      path += kHex[byte >> 4];
      path += kHex[byte & 0x0F];
    }
  }
  return path;
}

std::optional<ServerName> ParseServerName(std::string_view server) {
  for (const char byte : server) {
    const auto value = static_cast<unsigned char>(byte);
    if (value <= 0x20 || value == 0x7F ||
        std::string_view("@/?#\\").find(byte) != std::string_view::npos) {
      return std::nullopt;
    }
  }
  // An IPv6 address is bracketed; elsewhere the first ":" begins the port.
  std::size_t hostEnd = server.find(':');
  if (server.starts_with('[')) {
    hostEnd = server.find(']');
    if (hostEnd == std::string_view::npos) return std::nullopt;
    ++hostEnd;
  }
  ServerName name{std::string(server.substr(0, hostEnd)), {}};
  if (name.host.empty()) return std::nullopt;
  if (hostEnd >= server.size()) return name;
  if (server[hostEnd] != ':') return std::nullopt;
  name.port = server.substr(hostEnd + 1);
  unsigned value = 0;
  const char* end = name.port.data() + name.port.size();
  const auto [stop, error] = std::from_chars(name.port.data(), end, value);
  if (error != std::errc() || stop != end || value == 0 || value > 65535) return std::nullopt;
  return name;
}

// libcurl's URL parser checks the host once more.
std::string ServerOrigin(const std::string& server, uint16_t port) {
  auto refuse = [&server]() -> InternetException {
    return InternetException("not a server name: \"" + server + "\"");
  };
  std::optional<ServerName> name = ParseServerName(server);
  if (!name) throw refuse();
  if (port != INTERNET_INVALID_PORT_NUMBER) name->port = std::to_string(port);

  UrlHandle url(curl_url());
  if (!url) throw InternetException("out of memory");
  if (curl_url_set(url.get(), CURLUPART_SCHEME, "http", 0) != CURLUE_OK ||
      curl_url_set(url.get(), CURLUPART_HOST, name->host.c_str(), 0) != CURLUE_OK ||
      (!name->port.empty() &&
       curl_url_set(url.get(), CURLUPART_PORT, name->port.c_str(), 0) != CURLUE_OK)) {
    throw refuse();
  }
  char* text = nullptr;
  if (curl_url_get(url.get(), CURLUPART_URL, &text, 0) != CURLUE_OK) throw refuse();
  std::string origin = text;
  curl_free(text);
  if (origin.ends_with('/')) origin.pop_back();
  return origin;
}

}  // namespace bolta

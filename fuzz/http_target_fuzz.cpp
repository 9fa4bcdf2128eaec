// The request path and the server name of the libcurl layer, from any object name and server
// piece: no byte of the board becomes a query, a fragment or a broken escape, and no server
// piece names a user, a path or another server.
#include <curl/curl.h>

#include <cctype>
#include <memory>

#include "fuzz/check.h"
#include "platform/http_target.h"
#include "retrieval/internet.h"

namespace bolta::fuzz {
namespace {

bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)); }

// %XX escapes decoded, anything else (a broken escape included) kept.
std::string Decoded(const std::string& text) {
  int length = 0;
  const std::unique_ptr<char, decltype(&curl_free)> out(
      curl_easy_unescape(nullptr, text.c_str(), static_cast<int>(text.size()), &length), curl_free);
  return {out.get(), static_cast<size_t>(length)};
}

void CheckServer(const std::string& server) {
  const std::optional<ServerName> name = ParseServerName(server);
  std::optional<std::string> origin;
  try {
    origin = ServerOrigin(server, INTERNET_INVALID_PORT_NUMBER);
  } catch (const InternetException&) {
  }
  if (!name) {
    Check(!origin, "a refused piece opens nothing");
    return;
  }
  Check(!name->host.empty(), "a host is named");
  Check(name->host + (name->port.empty() ? "" : ":" + name->port) == server, "nothing is dropped");
  Check(name->port.empty() || (std::stoul(name->port) >= 1 && std::stoul(name->port) <= 65535),
        "a port from 1 to 65535");
  for (char c : server)
    Check(static_cast<unsigned char>(c) > 0x20 &&
              std::string_view("@/?#\\\x7f").find(c) == std::string_view::npos,
          "no user, path, query or fragment");
  if (!origin) return;
  Check(origin->starts_with("http://"), "plain HTTP");
  const std::string_view authority = std::string_view(*origin).substr(7);
  Check(authority.find_first_of("@/?#\\") == std::string_view::npos, "the origin names one server");
}

}  // namespace

void Properties(std::string_view objectName) {
  const std::string path = RequestPath(objectName);
  Check(path.starts_with('/'), "the path begins at the root");
  for (size_t i = 0; i < path.size(); ++i) {
    const auto c = static_cast<unsigned char>(path[i]);
    Check(c > 0x20 && c < 0x7F && std::string_view("?#\\\"<>").find(c) == std::string_view::npos,
          "only bytes that stand in a path");
    if (c == '%')
      Check(i + 2 < path.size() && IsHex(path[i + 1]) && IsHex(path[i + 2]), "escapes are whole");
  }
  const std::string rooted = (objectName.starts_with('/') ? "" : "/") + std::string(objectName);
  Check(Decoded(path) == Decoded(rooted), "the path names the same bytes");
  CheckServer(std::string(objectName));
}

}  // namespace bolta::fuzz

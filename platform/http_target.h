#pragma once
// Where a request goes, worked out from the retrieval's server and object name before anything
// connects: no network is needed to compute (or to test) it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bolta {

// The path on the wire for an object name.
std::string RequestPath(std::string_view objectName);

// A server piece taken apart: a host name or address (IPv6 in brackets) and an optional port.
struct ServerName {
  std::string host;
  std::string port;  // decimal, 1 to 65535, or empty for the service's default
};

// Nothing when the piece is no host name or address with an optional ":port": one that could
// name a user, a path or another server.
std::optional<ServerName> ParseServerName(std::string_view server);

// "http://host[:port]" for the server piece, `port` (when not 0) replacing its own; throws an
// InternetException when the piece is refused here or by libcurl's URL parser.
std::string ServerOrigin(const std::string& server, uint16_t port);

}  // namespace bolta

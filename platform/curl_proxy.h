#pragma once
// The proxies libcurl uses, written out for HTTP stacks that take proxy URIs per scheme.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bolta {

// `name` as libcurl's proxy option takes it ("host:port", a scheme and user optional), as the
// URI of the same proxy with libcurl's guesses made explicit: its scheme (http unless named) and
// its port (libcurl's default proxy port when none is given). A name libcurl cannot read comes
// back as it is: the request through it fails before anything else is fetched.
std::string ProxyUri(const std::string& name);

// Where requests go, by the scheme of their address.
struct ProxyRoutes {
  std::string http;                 // the proxy's URI; empty: straight to the server
  std::string https;                //   the same for https addresses
  std::vector<std::string> bypass;  // hosts (names, addresses, ranges) reached straight
};

// The proxy named in the tool: every address through it, whatever the environment says.
ProxyRoutes NamedProxyRoutes(const std::string& name);

// The routes libcurl takes from the environment when no proxy is named (`variable` gives an
// environment variable, null when unset); none when the environment names no proxy at all.
std::optional<ProxyRoutes> EnvironmentProxyRoutes(
    const std::function<const char*(const char*)>& variable);

}  // namespace bolta

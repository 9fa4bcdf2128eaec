#pragma once
// Without a named proxy libcurl follows the proxy variables of the environment; tests that talk
// to loopback servers must not depend on the machine's.
#include <stdlib.h>

namespace bolta::nettest {

inline void ClearProxyEnvironment() {
  for (const char* name :
       {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
    ::unsetenv(name);
  }
}

}  // namespace bolta::nettest

#pragma once
// A proxy's name as libcurl reads it, written out for HTTP stacks that take a proxy URI.
#include <string>

namespace bolta {

// `name` as libcurl's proxy option takes it ("host:port", a scheme and user optional), as the
// URI of the same proxy with libcurl's guesses made explicit: its scheme (http unless named) and
// its port (libcurl's default proxy port when none is given). A name libcurl cannot read comes
// back as it is: the request through it fails before anything else is fetched.
std::string ProxyUri(const std::string& name);

}  // namespace bolta

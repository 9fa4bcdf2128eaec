#pragma once
// The HTTP client over libcurl.
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "retrieval/internet.h"

namespace bolta {

struct CurlInternetOptions {
  // Longest wait for a connection to the server (or the proxy).
  std::chrono::milliseconds connectTimeout{std::chrono::seconds(30)};
  // Longest time without data from the server once connected, in whole seconds (at least one):
  // libcurl's own low-speed limit. It averages over its last five seconds, so a server that stops
  // after sending something is given up up to five seconds later than one that never sends.
  std::chrono::milliseconds noProgressTimeout{std::chrono::seconds(30)};
  // Longest time for the whole exchange, redirections included: a server that trickles a byte
  // now and then never trips the no-progress timeout, yet the window waits on the fetch.
  std::chrono::milliseconds transferTimeout{std::chrono::seconds(120)};
  // A body beyond this is a failure: no SETTING.TXT comes near it.
  std::size_t maxBodyBytes = 4 * 1024 * 1024;
  // Called at least every 5 ms while a call waits for the network; it must not call back into
  // the layer. False gives the transfer up: the call fails as on any other failure.
  std::function<bool()> whileWaiting;
  // Told the cause of each failed request once, in words that name its address: a status other
  // than success, a limit, a name that did not resolve, a refused connection, the proxy. A
  // transfer given up by `whileWaiting` is no failure of the request's.
  std::function<void(const std::string&)> onFailure;
  // A file of certificate authorities in place of the system's bundle (tests trust their own
  // that way); empty: the system's trust store.
  std::string caFile;
};

class CurlInternetOpener final : public InternetOpener {
 public:
  explicit CurlInternetOpener(CurlInternetOptions options = {});

  std::unique_ptr<InternetSession> Open(const std::string& agent, uint32_t context,
                                        uint32_t accessType, const std::string& proxyName) override;

 private:
  std::shared_ptr<const CurlInternetOptions> options_;  // shared with every open object
};

}  // namespace bolta

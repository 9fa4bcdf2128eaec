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
  // Longest time without a byte from the server once connected.
  std::chrono::milliseconds noProgressTimeout{std::chrono::seconds(30)};
  // Longest time for the whole exchange, redirections included: a server that trickles a byte
  // now and then never trips the no-progress timeout, yet the window waits on the fetch.
  std::chrono::milliseconds transferTimeout{std::chrono::seconds(120)};
  // A body beyond this is a failure: no SETTING.TXT comes near it.
  std::size_t maxBodyBytes = 4 * 1024 * 1024;
  // Called at least every 5 ms while a call waits for the network; it must not call back into
  // the layer.
  std::function<void()> whileWaiting;
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

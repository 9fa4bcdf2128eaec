#pragma once
// SETTING.TXT fetched while the toolkit starts. The retrieval runs once on a thread of its own
// against the real client, and every call it makes is recorded with its answer; when the view
// runs the retrieval, the same calls are answered from that record, waiting for what has not come
// yet. The same retrieval with the same address and proxy makes the same calls, so the request on
// the wire is the one the view's would have been; a session asked for otherwise goes live.
#include <functional>
#include <memory>

#include "platform/curl_internet.h"

namespace bolta {

class EarlyInternet final : public InternetOpener {
 public:
  // Starts `retrieve` (the view's retrieval, on the opener it is given) on its own thread. Its
  // client is made of `options` without their waiting and reporting; the replay waits and reports
  // through them, on the caller's thread.
  EarlyInternet(std::function<void(InternetOpener&)> retrieve, CurlInternetOptions options);
  // Gives the early run up and waits for its end.
  ~EarlyInternet();
  EarlyInternet(const EarlyInternet&) = delete;
  EarlyInternet& operator=(const EarlyInternet&) = delete;

  std::unique_ptr<InternetSession> Open(const std::string& agent, uint32_t context,
                                        uint32_t accessType, const std::string& proxyName) override;

  struct Record;

 private:
  std::shared_ptr<Record> record_;
  CurlInternetOptions options_;
  CurlInternetOpener live_;  // for a session the early run did not ask for
  bool replayed_ = false;    // the record serves one session
};

}  // namespace bolta

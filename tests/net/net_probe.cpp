// The real retrieval over the real HTTP layer, driven from the command line by test_net.py:
//   bolta_net_probe fetch ADDRESS USE_PROXY PROXY_ADDRESS PROXY_PORT CA_FILE NO_PROGRESS_MS
//                   WHOLE_MS WAITS live|early
// prints, in their order, the causes told ("told ..."), the page and the session's release; then
// the fields applied. WAITS > 0 gives the transfer up at that wait. `early` starts the retrieval
// at once and replays it once a byte comes on stdin.
//   bolta_net_probe proxy-uri NAME...
//   bolta_net_probe routes        (the proxy routes the environment gives)
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/curl_proxy.h"
#include "platform/early_internet.h"
#include "res/texts.h"
#include "retrieval/fetch_signboard.h"

namespace bolta {
namespace {

// The early run's pages: only the view's retrieval shows one.
struct NoPages final : SignboardPages {
  void ShowSignboardPage() override {}
  void ShowMessagePage(const std::string&) override {}
};

// The pages and each session's release, printed in their order.
class PrintingInternet final : public InternetOpener, public SignboardPages {
 public:
  explicit PrintingInternet(InternetOpener& inner) : inner_(inner) {}
  std::unique_ptr<InternetSession> Open(const std::string& agent, uint32_t context, uint32_t type,
                                        const std::string& proxy) override {
    return std::make_unique<Session>(inner_.Open(agent, context, type, proxy));
  }
  void ShowSignboardPage() override { std::cout << "page signboard\n"; }
  void ShowMessagePage(const std::string& message) override {
    const bool fetch = message == text::kMsgFetchFailed, parse = message == text::kMsgParseFailed;
    std::cout << "page " << (fetch ? "fetch failed" : parse ? "parse failed" : message) << "\n";
  }

 private:
  struct Session final : InternetSession {
    explicit Session(std::unique_ptr<InternetSession> inner) : inner(std::move(inner)) {}
    ~Session() override { std::cout << "session released\n"; }
    std::unique_ptr<HttpConnection> GetHttpConnection(const std::string& s, uint16_t p,
                                                      const std::string& u,
                                                      const std::string& w) override {
      return inner->GetHttpConnection(s, p, u, w);
    }
    void Close() override { inner->Close(); }
    std::unique_ptr<InternetSession> inner;
  };
  InternetOpener& inner_;
};

int Fetch(const std::vector<std::string>& args) {
  const std::string& address = args.at(0);
  const ProxySetting proxy{std::stoi(args.at(1)), args.at(2), args.at(3)};
  const int giveUpAt = std::stoi(args.at(7));
  int waits = 0;
  const CurlInternetOptions options{
      .noProgressTimeout = std::chrono::milliseconds(std::stoi(args.at(5))),
      .transferTimeout = std::chrono::milliseconds(std::stoi(args.at(6))),
      .maxBodyBytes = 1 << 20,
      .whileWaiting = [&] { return giveUpAt == 0 || ++waits < giveUpAt; },
      .onFailure = [](const std::string& cause) { std::cout << "told " << cause << "\n"; },
      .caFile = args.at(4)};
  // Stale fields, which a fetch must not leave standing.
  SignboardInfo info{"old background", "old title picture", "old title"};
  BoardAddress board;
  CurlInternetOpener live(options);
  std::optional<EarlyInternet> early;
  if (args.at(8) == "early") {
    early.emplace(
        [&](InternetOpener& internet) {
          NoPages none;
          BoardAddress ownBoard;
          SignboardInfo ownInfo;
          FetchSignboard(address, proxy, internet, ownBoard, ownInfo, none);
        },
        options);
    std::cin.get();  // the view's turn
  }
  PrintingInternet internet(early ? static_cast<InternetOpener&>(*early) : live);
  FetchSignboard(address, proxy, internet, board, info, internet);
  std::cout << "title " << info.title << "\npictures " << info.titlePictureUrl << " "
            << info.backgroundPictureUrl << "\n";
  return 0;
}

}  // namespace
}  // namespace bolta

int main(int argc, char** argv) {
  ::alarm(90);  // ends even where a fault makes it hang and no one waits for it any more
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.at(0) == "fetch") return bolta::Fetch({args.begin() + 1, args.end()});
  if (args.at(0) == "proxy-uri") {
    for (auto name = args.begin() + 1; name != args.end(); ++name)
      std::cout << bolta::ProxyUri(*name) << "\n";
    return 0;
  }
  const auto routes = bolta::EnvironmentProxyRoutes(::getenv);
  std::cout << (routes ? routes->http + "|" + routes->https + "|" : "none");
  for (const std::string& host : routes.value_or(bolta::ProxyRoutes{}).bypass)
    std::cout << host << ",";
  std::cout << "\n";
}

// The retrieval run early on a thread of its own, and the view's run answered from it.
#include "platform/early_internet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "net/loopback_server.h"
#include "res/texts.h"
#include "retrieval/fetch_signboard.h"

namespace bolta {
namespace {

using namespace nettest;

struct Pages : SignboardPages {
  void ShowSignboardPage() override { shown = "signboard"; }
  void ShowMessagePage(const std::string& message) override { shown = message; }
  std::string shown;
};

struct Outcome {
  std::string page;
  SignboardInfo info;
};

Outcome Retrieve(const std::string& address, InternetOpener& internet) {
  Outcome outcome;
  BoardAddress board;
  Pages pages;
  FetchSignboard(address, ProxySetting{}, internet, board, outcome.info, pages);
  outcome.page = pages.shown;
  return outcome;
}

class EarlyInternetTest : public testing::Test {
 protected:
  // The retrieval of `server`'s board started early, with `options` for the replay.
  std::unique_ptr<EarlyInternet> Early(const LoopbackServer& server) {
    return std::make_unique<EarlyInternet>(
        [address = Address(server)](InternetOpener& internet) { Retrieve(address, internet); },
        options);
  }
  static std::string Address(const LoopbackServer& server) {
    return "http://" + server.address() + "/test/read.cgi/news/1/";
  }

  std::vector<std::string> told;
  int waits = 0;
  CurlInternetOptions options = [this] {
    CurlInternetOptions options;
    options.whileWaiting = [this] { return ++waits < 100; };  // half a second or more
    options.onFailure = [this](const std::string& cause) { told.push_back(cause); };
    return options;
  }();
};

TEST_F(EarlyInternetTest, the_view_gets_the_early_answer_of_the_one_request_it_would_have_made) {
  LoopbackServer server(Answer(Response(
      "200 OK", "BBS_TITLE=T\nBBS_TITLE_PICTURE=http://p/t.png\nBBS_BG_PICTURE=http://p/b.gif\n")));
  CurlInternetOpener live;
  const Outcome expected = Retrieve(Address(server), live);
  const std::vector<std::string> liveRequest = server.TakeRequests();

  const auto early = Early(server);
  std::vector<std::string> requests;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (requests.empty() && std::chrono::steady_clock::now() < deadline) {
    requests = server.TakeRequests();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(requests, liveRequest) << "sent before the view asks, byte for byte the same";
  const Outcome replayed = Retrieve(Address(server), *early);
  EXPECT_EQ(replayed.page, "signboard");
  EXPECT_EQ(replayed.info.title, expected.info.title);
  EXPECT_EQ(replayed.info.titlePictureUrl, expected.info.titlePictureUrl);
  EXPECT_TRUE(server.TakeRequests().empty()) << "and only then";
  EXPECT_TRUE(told.empty());
}

TEST_F(EarlyInternetTest, a_failure_is_told_once_where_the_view_meets_it_and_a_wait_can_end_it) {
  {
    LoopbackServer server([](const std::string&, int) {});  // hangs up without an answer
    const auto early = Early(server);
    EXPECT_EQ(Retrieve(Address(server), *early).page, text::kMsgFetchFailed);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(server.address()), std::string::npos) << told[0];
  }
  told.clear();
  waits = 0;
  // A server that never answers: the view's wait gives the fetch up, and so does the early run.
  LoopbackServer silent([](const std::string&, int) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  });
  const auto started = std::chrono::steady_clock::now();
  {
    const auto early = Early(silent);
    EXPECT_EQ(Retrieve(Address(silent), *early).page, text::kMsgFetchFailed);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_TRUE(told.empty()) << "a fetch given up is no failure of the server's: " << told[0];
}

}  // namespace
}  // namespace bolta

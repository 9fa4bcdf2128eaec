#include "retrieval/fetch_signboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "mock/recording_internet.h"
#include "mock/recording_signboard_pages.h"
#include "mock/temp_settings.h"
#include "net/loopback_server.h"
#include "net/proxy_environment.h"
#include "net/tinyproxy_process.h"
#include "platform/curl_internet.h"
#include "res/texts.h"

namespace bolta {
namespace {

using namespace std::chrono_literals;
using nettest::LoopbackServer;
using nettest::Peer;
using nettest::Response;

constexpr const char* kSettingText =
    "BBS_TITLE=Test board\r\n"
    "BBS_TITLE_PICTURE=./ba.gif\r\n"
    "BBS_BG_PICTURE=../bg.gif\r\n";
const std::string kSignboardPage = "ShowSignboardPage";
const std::string kFetchFailedPage = "ShowMessagePage " + std::string(text::kMsgFetchFailed);
const std::string kParseFailedPage = "ShowMessagePage " + std::string(text::kMsgParseFailed);

std::string ThreadAddress(const std::string& host) {
  return "http://" + host + "/test/read.cgi/news/1234567890/";
}

bool Logged(const CallLog& log, const std::string& call) {
  return std::find(log.begin(), log.end(), call) != log.end();
}

class FetchSignboardOverLoopback : public ::testing::Test {
 protected:
  void SetUp() override { nettest::ClearProxyEnvironment(); }

  void Fetch(const std::string& address) {
    CurlInternetOptions options;
    options.connectTimeout = 2s;
    options.noProgressTimeout = 300ms;
    CurlInternetOpener curl(options);
    RecordingInternet internet(curl, log_);
    RecordingSignboardPages pages(log_);
    FetchSignboard(address, settings_.store(), internet, boardAddress_, info_, pages);
  }

  // The page called, and after it, or before it for the signboard, the session closed and let go.
  void ExpectEnd(const std::string& page) {
    ASSERT_GE(log_.size(), 3u);
    const CallLog end(log_.end() - 3, log_.end());
    if (page == kSignboardPage) {
      EXPECT_EQ(end, (CallLog{"Close session", "release session", page}));
      EXPECT_TRUE(Logged(log_, "Close request"));
      EXPECT_TRUE(Logged(log_, "Close connection"));
    } else {
      EXPECT_EQ(end, (CallLog{page, "Close session", "release session"}));
    }
    EXPECT_EQ(std::count(log_.begin(), log_.end(), page), 1);
  }

  TempSettings settings_;
  CallLog log_;
  BoardAddress boardAddress_;
  SignboardInfo info_;
};

TEST_F(FetchSignboardOverLoopback, complete_file_shows_the_signboard) {
  LoopbackServer server(
      [](const std::string&, Peer& peer) { peer.Send(Response("200 OK", kSettingText)); });
  Fetch(ThreadAddress(server.address()));
  ExpectEnd(kSignboardPage);
  EXPECT_EQ(info_.title, "Test board");
  EXPECT_EQ(info_.titlePictureUrl, "http://" + server.address() + "/news/ba.gif");
  EXPECT_EQ(info_.backgroundPictureUrl, "http://" + server.address() + "/bg.gif");
}

TEST_F(FetchSignboardOverLoopback, error_page_is_a_parse_failure) {
  LoopbackServer server([](const std::string&, Peer& peer) {
    peer.Send(Response("404 Not Found", "<html><body>Not Found</body></html>\n"));
  });
  Fetch(ThreadAddress(server.address()));
  ExpectEnd(kParseFailedPage);
}

TEST_F(FetchSignboardOverLoopback, refused_connection_is_a_fetch_failure) {
  Fetch(ThreadAddress("127.0.0.1:" + std::to_string(nettest::UnusedPort())));
  ExpectEnd(kFetchFailedPage);
}

TEST_F(FetchSignboardOverLoopback, stalled_server_is_a_fetch_failure_within_the_timeout) {
  LoopbackServer server([](const std::string&, Peer& peer) { peer.Stall(10s); });
  const auto start = std::chrono::steady_clock::now();
  Fetch(ThreadAddress(server.address()));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
  ExpectEnd(kFetchFailedPage);
}

TEST_F(FetchSignboardOverLoopback, break_after_the_keys_is_a_fetch_failure) {
  LoopbackServer server([](const std::string&, Peer& peer) {
    peer.Send(std::string("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n") + kSettingText);
  });
  Fetch(ThreadAddress(server.address()));
  ExpectEnd(kFetchFailedPage);
  EXPECT_EQ(info_.title, "Test board") << "the lines before the break were applied";
}

TEST_F(FetchSignboardOverLoopback, server_piece_with_a_user_name_reaches_no_server) {
  LoopbackServer server(
      [](const std::string&, Peer& peer) { peer.Send(Response("200 OK", kSettingText)); });
  Fetch(ThreadAddress("someone@" + server.address()));
  ExpectEnd(kFetchFailedPage);
  EXPECT_EQ(server.connections(), 0);
}

TEST_F(FetchSignboardOverLoopback, real_proxy_brings_the_signboard) {
  LoopbackServer server(
      [](const std::string&, Peer& peer) { peer.Send(Response("200 OK", kSettingText)); });
  nettest::TinyproxyProcess tinyproxy;
  settings_.SetProxy(1, "127.0.0.1", std::to_string(tinyproxy.port()));
  Fetch(ThreadAddress(server.address()));
  ExpectEnd(kSignboardPage);
  EXPECT_EQ(info_.title, "Test board");
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_NE(server.requests()[0].find("tinyproxy"), std::string::npos)
      << "relayed by the proxy: " << server.requests()[0];
}

TEST_F(FetchSignboardOverLoopback, real_proxys_own_error_page_is_a_parse_failure) {
  nettest::TinyproxyProcess tinyproxy;
  settings_.SetProxy(1, "127.0.0.1", std::to_string(tinyproxy.port()));
  Fetch(ThreadAddress("127.0.0.1:" + std::to_string(nettest::UnusedPort())));
  ExpectEnd(kParseFailedPage);
}

}  // namespace
}  // namespace bolta

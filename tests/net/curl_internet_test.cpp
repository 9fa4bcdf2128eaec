#include "platform/curl_internet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

#include "net/loopback_server.h"
#include "net/proxy_environment.h"

namespace bolta {
namespace {

using namespace std::chrono_literals;
using nettest::LoopbackServer;
using nettest::Peer;
using nettest::Response;

constexpr const char* kHeaderBlock =
    "Accept: text/*\r\n"
    "User-Agent: Porvestra/1.00 (Bolta/2.00)\r\n";
constexpr const char* kSettingText =
    "BBS_TITLE=Test board\r\n"
    "BBS_TITLE_PICTURE=./ba.gif\r\n"
    "BBS_BG_PICTURE=../bg.gif\r\n";
const std::vector<std::string> kSettingLines = {
    "BBS_TITLE=Test board", "BBS_TITLE_PICTURE=./ba.gif", "BBS_BG_PICTURE=../bg.gif"};

CurlInternetOptions FastOptions() {
  CurlInternetOptions options;
  options.connectTimeout = 2s;
  options.noProgressTimeout = 300ms;
  options.maxBodyBytes = 64 * 1024;
  return options;
}

struct Outcome {
  std::vector<std::string> lines;
  std::string failure;  // empty when the body was read to its end
};

// The calls of one retrieval, as the retrieval makes them.
Outcome Fetch(InternetOpener& internet, const std::string& server, const std::string& board,
              const std::string& proxyName = {}) {
  Outcome outcome;
  try {
    const auto session = internet.Open(
        "Bolta", 1, proxyName.empty() ? INTERNET_OPEN_TYPE_PRECONFIG : INTERNET_OPEN_TYPE_PROXY,
        proxyName);
    const auto connection = session->GetHttpConnection(server, 0, {}, {});
    const auto request = connection->OpenRequest("GET", board + "/SETTING.TXT", {}, 1, {},
                                                 "HTTP/1.0", INTERNET_FLAG_EXISTING_CONNECT);
    request->AddRequestHeaders(kHeaderBlock, HTTP_ADDREQ_FLAG_ADD_IF_NEW);
    request->SendRequest();
    std::string line;
    while (request->ReadString(line)) outcome.lines.push_back(line);
  } catch (const InternetException& failure) {
    outcome.failure = failure.what();
    if (outcome.failure.empty()) outcome.failure = "(no text)";
  }
  return outcome;
}

LoopbackServer::Handler Answer(std::string response) {
  return [response](const std::string&, Peer& peer) { peer.Send(response); };
}

std::string DirectRequest(const std::string& target, const std::string& host) {
  return "GET " + target + " HTTP/1.0\r\nHost: " + host + "\r\n" + kHeaderBlock + "\r\n";
}

class CurlInternet : public ::testing::Test {
 protected:
  void SetUp() override { nettest::ClearProxyEnvironment(); }
  void TearDown() override { nettest::ClearProxyEnvironment(); }

  CurlInternetOpener internet_{FastOptions()};
};

TEST_F(CurlInternet, direct_request_is_the_request_line_host_and_the_two_header_lines) {
  LoopbackServer server(Answer(Response("200 OK", kSettingText)));
  const Outcome outcome = Fetch(internet_, server.address(), "news");
  EXPECT_EQ(outcome.failure, "");
  EXPECT_EQ(outcome.lines, kSettingLines);
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0], DirectRequest("/news/SETTING.TXT", server.address()));
}

TEST_F(CurlInternet, empty_board_asks_for_the_file_at_the_root) {
  LoopbackServer server(Answer(Response("200 OK", kSettingText)));
  Fetch(internet_, server.address(), "");
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0], DirectRequest("/SETTING.TXT", server.address()));
}

TEST_F(CurlInternet, proxied_request_names_the_file_by_its_absolute_address) {
  LoopbackServer proxy(Answer(Response("200 OK", kSettingText)));
  const Outcome outcome = Fetch(internet_, "host1", "news", proxy.address());
  EXPECT_EQ(outcome.lines, kSettingLines);
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(proxy.requests()[0], DirectRequest("http://host1/news/SETTING.TXT", "host1"));
}

TEST_F(CurlInternet, without_a_named_proxy_the_http_proxy_environment_is_followed) {
  LoopbackServer proxy(Answer(Response("200 OK", kSettingText)));
  ::setenv("http_proxy", ("http://" + proxy.address()).c_str(), 1);
  const Outcome outcome = Fetch(internet_, "host1:8080", "news");
  EXPECT_EQ(outcome.lines, kSettingLines);
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(proxy.requests()[0], DirectRequest("http://host1:8080/news/SETTING.TXT", "host1:8080"));
}

TEST_F(CurlInternet, named_proxy_is_used_whatever_no_proxy_says) {
  LoopbackServer proxy(Answer(Response("200 OK", kSettingText)));
  ::setenv("no_proxy", "*", 1);
  Fetch(internet_, "host1", "news", proxy.address());
  EXPECT_EQ(proxy.connections(), 1);
}

TEST_F(CurlInternet, named_proxy_that_cannot_be_reached_is_a_failure) {
  const std::vector<std::string> proxyNames = {
      ":", "127.0.0.1:", ":8080", "127.0.0.1:" + std::to_string(nettest::UnusedPort())};
  for (const std::string& proxyName : proxyNames) {
    SCOPED_TRACE(proxyName);
    EXPECT_NE(Fetch(internet_, "host1", "news", proxyName).failure, "");
  }
}

TEST_F(CurlInternet, error_status_is_a_response_whose_page_is_read) {
  LoopbackServer server(Answer(Response("404 Not Found", "<html>\r\n<body>Not Found</body>\r\n")));
  const Outcome outcome = Fetch(internet_, server.address(), "news");
  EXPECT_EQ(outcome.failure, "");
  EXPECT_EQ(outcome.lines, (std::vector<std::string>{"<html>", "<body>Not Found</body>"}));
}

TEST_F(CurlInternet, redirect_to_another_path_is_followed) {
  LoopbackServer server([](const std::string& request, Peer& peer) {
    if (request.starts_with("GET /news/")) {
      peer.Send("HTTP/1.0 302 Found\r\nLocation: /moved/SETTING.TXT\r\n\r\nmoved\r\n");
    } else {
      peer.Send(Response("200 OK", kSettingText));
    }
  });
  const Outcome outcome = Fetch(internet_, server.address(), "news");
  EXPECT_EQ(outcome.lines, kSettingLines);
  ASSERT_EQ(server.requests().size(), 2u);
  EXPECT_EQ(server.requests()[1], DirectRequest("/moved/SETTING.TXT", server.address()));
}

struct BodyCase {
  const char* name;
  std::vector<std::string> chunks;  // sent one by one
  std::vector<std::string> lines;

  friend void PrintTo(const BodyCase& body, std::ostream* out) { *out << body.name; }
};

class CurlInternetBody : public CurlInternet, public ::testing::WithParamInterface<BodyCase> {};

TEST_P(CurlInternetBody, delivers_the_lines_of_the_body) {
  const BodyCase& body = GetParam();
  LoopbackServer server([&body](const std::string&, Peer& peer) {
    peer.Send(Response("200 OK", ""));
    for (const auto& chunk : body.chunks) {
      peer.Send(chunk);
      std::this_thread::sleep_for(2ms);
    }
  });
  const Outcome outcome = Fetch(internet_, server.address(), "news");
  EXPECT_EQ(outcome.failure, "");
  EXPECT_EQ(outcome.lines, body.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, CurlInternetBody,
    ::testing::Values(BodyCase{"crlf_endings", {"A\r\nB\r\n"}, {"A", "B"}},
                      BodyCase{"cr_inside_a_line_is_dropped", {"A\rB\n"}, {"AB"}},
                      BodyCase{"last_line_without_lf", {"A\r\n\r\nB"}, {"A", "", "B"}},
                      BodyCase{"empty_body_has_no_line", {}, {}},
                      BodyCase{
                          "crlf_split_across_packets", {"A\r", "\nB", "C\r", "\n"}, {"A", "BC"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailureCase {
  const char* name;
  LoopbackServer::Handler handler;
  std::vector<std::string> linesBeforeFailure;

  friend void PrintTo(const FailureCase& failure, std::ostream* out) { *out << failure.name; }
};

class CurlInternetFailure : public CurlInternet,
                            public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CurlInternetFailure, is_an_internet_failure_after_the_lines_that_arrived) {
  LoopbackServer server(GetParam().handler);
  const auto start = std::chrono::steady_clock::now();
  const Outcome outcome = Fetch(internet_, server.address(), "news");
  EXPECT_NE(outcome.failure, "");
  EXPECT_EQ(outcome.lines, GetParam().linesBeforeFailure);
  // Ended by the client's own limits, long before the server would give up.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
}

const std::string kShortBodyHead = "HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    Failures, CurlInternetFailure,
    ::testing::Values(
        FailureCase{
            "close_after_the_keys_short_of_the_length",
            [](const std::string&, Peer& peer) { peer.Send(kShortBodyHead + kSettingText); },
            kSettingLines},
        FailureCase{"reset_after_the_keys",
                    [](const std::string&, Peer& peer) {
                      peer.Send(kShortBodyHead + kSettingText);
                      peer.Reset();
                    },
                    kSettingLines},
        FailureCase{
            "stall_before_the_head", [](const std::string&, Peer& peer) { peer.Stall(10s); }, {}},
        FailureCase{"stall_after_the_first_line",
                    [](const std::string&, Peer& peer) {
                      peer.Send(Response("200 OK", "BBS_TITLE=Test board\n"));
                      peer.Stall(10s);
                    },
                    {"BBS_TITLE=Test board"}},
        FailureCase{"body_without_end_beyond_the_cap",
                    [](const std::string&, Peer& peer) {
                      peer.Send(Response("200 OK", ""));
                      const std::string block(4096, 'x');
                      const auto end = std::chrono::steady_clock::now() + 10s;
                      while (std::chrono::steady_clock::now() < end && peer.Send(block)) {
                      }
                    },
                    {}},
        FailureCase{"redirects_without_end",
                    [](const std::string&, Peer& peer) {
                      peer.Send("HTTP/1.0 302 Found\r\nLocation: /again/SETTING.TXT\r\n\r\n");
                    },
                    {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CurlInternet, board_bytes_that_cannot_stand_in_a_path_are_percent_encoded) {
  struct Case {
    std::string board;
    std::string target;
  };
  const Case cases[] = {{"a b", "/a%20b/SETTING.TXT"},
                        {"h#x", "/h%23x/SETTING.TXT"},
                        {"q?x", "/q%3Fx/SETTING.TXT"},
                        {"\x94\xc2", "/%94%C2/SETTING.TXT"},
                        {"100%", "/100%25/SETTING.TXT"},
                        {"%4", "/%254/SETTING.TXT"},
                        {"%41", "/%41/SETTING.TXT"},
                        {"%4A", "/%4A/SETTING.TXT"},
                        {"..", "/../SETTING.TXT"},
                        {"a\"<>\\^`{|}", "/a%22%3C%3E%5C%5E%60%7B%7C%7D/SETTING.TXT"},
                        {"news-1_~.!$&'()*+,;=:@", "/news-1_~.!$&'()*+,;=:@/SETTING.TXT"}};
  for (const Case& row : cases) {
    SCOPED_TRACE(row.board);
    LoopbackServer server(Answer(Response("200 OK", "")));
    Fetch(internet_, server.address(), row.board);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0], DirectRequest(row.target, server.address()));
  }
}

TEST_F(CurlInternet, server_piece_that_is_no_server_name_fails_before_any_connection) {
  LoopbackServer server(Answer(Response("200 OK", kSettingText)));
  LoopbackServer proxy(Answer(Response("200 OK", kSettingText)));
  const std::string at = server.address();
  const std::vector<std::string> pieces = {"a@b",
                                           "",
                                           "a b",
                                           "h#x",
                                           "h?x",
                                           "x@" + at,
                                           at + "#x",
                                           at + "?x",
                                           at + "/x",
                                           at + " x",
                                           at + "\t",
                                           at + "\x01",
                                           "[::1",
                                           at + ":",
                                           at + "x",
                                           "127.0.0.1:0",
                                           "127.0.0.1:65536",
                                           "127.0.0.1:"};
  for (const std::string& piece : pieces) {
    SCOPED_TRACE(piece);
    EXPECT_NE(Fetch(internet_, piece, "news").failure, "");
    EXPECT_NE(Fetch(internet_, piece, "news", proxy.address()).failure, "");
  }
  EXPECT_EQ(server.connections(), 0);
  EXPECT_EQ(proxy.connections(), 0);
}

TEST_F(CurlInternet, send_returns_at_the_head_and_lines_arrive_before_the_body_ends) {
  std::mutex mutex;
  std::condition_variable changed;
  bool firstLineRead = false;
  bool serverWaitedInVain = false;
  LoopbackServer server([&](const std::string&, Peer& peer) {
    peer.Send(Response("200 OK", "BBS_TITLE=Test board\n"));
    std::unique_lock lock(mutex);
    serverWaitedInVain = !changed.wait_for(lock, 3s, [&] { return firstLineRead; });
    lock.unlock();
    peer.Send("BBS_BG_PICTURE=../bg.gif\n");
  });
  CurlInternetOptions options = FastOptions();
  options.noProgressTimeout = 5s;
  CurlInternetOpener internet(options);
  const auto session = internet.Open("Bolta", 1, INTERNET_OPEN_TYPE_PRECONFIG, {});
  const auto request = session->GetHttpConnection(server.address(), 0, {}, {})
                           ->OpenRequest("GET", "news/SETTING.TXT", {}, 1, {}, "HTTP/1.0", 0);
  request->SendRequest();
  std::string line;
  ASSERT_TRUE(request->ReadString(line));
  EXPECT_EQ(line, "BBS_TITLE=Test board");
  {
    std::lock_guard lock(mutex);
    firstLineRead = true;
  }
  changed.notify_all();
  ASSERT_TRUE(request->ReadString(line));
  EXPECT_EQ(line, "BBS_BG_PICTURE=../bg.gif");
  EXPECT_FALSE(request->ReadString(line));
  EXPECT_FALSE(serverWaitedInVain);
}

TEST_F(CurlInternet, waiting_callback_runs_every_50_ms_while_the_server_is_slow) {
  LoopbackServer server([](const std::string&, Peer& peer) {
    peer.Stall(400ms);
    peer.Send(Response("200 OK", kSettingText));
  });
  std::vector<std::chrono::steady_clock::time_point> calls;
  CurlInternetOptions options = FastOptions();
  options.noProgressTimeout = 2s;
  options.whileWaiting = [&calls] { calls.push_back(std::chrono::steady_clock::now()); };
  CurlInternetOpener internet(options);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Fetch(internet, server.address(), "news").lines, kSettingLines);
  ASSERT_GE(calls.size(), 5u);
  auto previous = start;
  for (const auto call : calls) {
    EXPECT_LT(call - previous, 200ms);
    previous = call;
  }
}

}  // namespace
}  // namespace bolta

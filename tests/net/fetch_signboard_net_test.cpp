#include "retrieval/fetch_signboard.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <thread>

#include "net/loopback_server.h"
#include "platform/curl_internet.h"
#include "res/texts.h"
#include "util/temp_settings.h"

namespace bolta {
namespace {

using namespace std::chrono_literals;
using namespace nettest;
using Log = std::vector<std::string>;
using std::chrono::milliseconds;
namespace fs = std::filesystem;

// Endings of both kinds, a CR inside a line and no final LF: still the three keys.
const std::string kSettingText =
    "BBS_TITLE=Test\r board\r\nBBS_TITLE_PICTURE=./ba.gif\nBBS_BG_PICTURE=../bg.gif";
const Handler kServes = Answer(Response("200 OK", kSettingText));
const std::string kSignboard = "signboard page";
const std::string kOld = "old title";
const std::string kFetchFailed(text::kMsgFetchFailed);
const std::string kParseFailed(text::kMsgParseFailed);

std::string ThreadAddress(const std::string& host, const std::string& board = "news") {
  return "http://" + host + "/test/read.cgi/" + board + "/1234567890/";
}

std::string Request(const std::string& target, const std::string& host) {
  return "GET " + target + " HTTP/1.0\r\nHost: " + host +
         "\r\nAccept: text/*\r\nUser-Agent: Porvestra/1.00 (Bolta/2.00)\r\n\r\n";
}

Handler Redirect(const std::string& to) {
  return [to](const std::string& request, int socket) {
    Send(socket, request.starts_with("GET /news/")
                     ? "HTTP/1.0 302 Found\r\nLocation: " + to + "\r\n\r\n"
                     : Response("200 OK", kSettingText));
  };
}

// A complete answer in gzip (zlib's window bits 31).
Handler Gzipped() {
  std::string text = kSettingText;
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, text.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(text.data());
  stream.avail_in = uInt(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = uInt(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return Answer("HTTP/1.0 200 OK\r\nContent-Encoding: gzip\r\n\r\n" + out);
}

// One line for the failed fetch of `host`'s SETTING.TXT, with `words` after the address.
bool ToldOnce(const Log& told, const std::string& host, const std::string& after,
              const std::string& words) {
  const std::string address = "cannot fetch http://" + host + "/news/SETTING.TXT" + after;
  return told.size() == 1 && told[0].starts_with(address) &&
         told[0].find(words, address.size()) != std::string::npos;
}

// The page, and the session closed and let go: after a message page, before the signboard.
Log Ending(const std::string& page) {
  if (page == kSignboard) return {"Close session", "release session", page};
  return {page, "Close session", "release session"};
}

// The real layer, with the session's closing and the pages written to one log.
class RecordingInternet final : public InternetOpener, public SignboardPages {
 public:
  explicit RecordingInternet(InternetOpener& inner) : inner_(inner) {}
  std::unique_ptr<InternetSession> Open(const std::string& agent, uint32_t context, uint32_t type,
                                        const std::string& proxy) override {
    return std::make_unique<Session>(inner_.Open(agent, context, type, proxy), log);
  }
  void ShowSignboardPage() override { log.push_back(kSignboard); }
  void ShowMessagePage(const std::string& message) override { log.push_back(message); }
  Log log;

 private:
  struct Session final : InternetSession {
    Session(std::unique_ptr<InternetSession> inner, Log& log) : inner(std::move(inner)), log(log) {}
    ~Session() override { log.push_back("release session"); }
    std::unique_ptr<HttpConnection> GetHttpConnection(const std::string& s, uint16_t p,
                                                      const std::string& u,
                                                      const std::string& w) override {
      return inner->GetHttpConnection(s, p, u, w);
    }
    void Close() override {
      log.push_back("Close session");
      inner->Close();
    }
    std::unique_ptr<InternetSession> inner;
    Log& log;
  };
  InternetOpener& inner_;
};

// A shell command run in `folder` with a free loopback port as $1, its output dropped, until
// this goes. Built once the port has a listener: a loaded machine may take long to start it.
class Daemon {
 public:
  const uint16_t port = UnusedPort();
  const std::string address = "127.0.0.1:" + std::to_string(port);

  Daemon(const fs::path& folder, const std::string& command) {
    const std::string script = "exec >/dev/null 2>&1; cd '" + folder.string() + "' && " + command;
    const std::string portText = std::to_string(port);
    const char* argv[] = {"sh", "-c", script.c_str(), "sh", portText.c_str(), nullptr};
    if (posix_spawnp(&pid_, "sh", nullptr, nullptr, const_cast<char**>(argv), environ)) {
      throw std::runtime_error("no shell");
    }
    const auto end = std::chrono::steady_clock::now() + 60s;
    while (!Listens()) {
      if (std::chrono::steady_clock::now() > end) ::kill(pid_, SIGKILL);
      if (::waitpid(pid_, nullptr, WNOHANG) == pid_) throw std::runtime_error(command + ": ended");
      std::this_thread::sleep_for(20ms);
    }
  }
  ~Daemon() {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }

 private:
  bool Listens() const {
    sockaddr_in at{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool listens = ::connect(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0;
    ::close(fd);
    return listens;
  }

  pid_t pid_ = -1;
};

class FetchOverLoopback : public ::testing::Test {
 protected:
  // Talking to loopback servers must not depend on the machine's proxy.
  void SetUp() override {
    for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY",
                             "no_proxy", "NO_PROXY"})
      ::unsetenv(name);
  }
  void UseProxy(int32_t useProxy, uint16_t port) {
    settings_.SetProxy(useProxy, "127.0.0.1", std::to_string(port));
  }
  // A scratch folder, removed with the settings file.
  fs::path Folder() const { return settings_.path().parent_path(); }
  // The log of one retrieval, and the causes told in `told_`; stale fields must not count.
  // Limits not under test are far beyond what a loaded machine needs.
  Log Fetch(const std::string& address, milliseconds noProgress = 30s, milliseconds whole = 60s) {
    told_.clear();
    CurlInternetOpener curl(
        {.connectTimeout = 30s,
         .noProgressTimeout = noProgress,
         .transferTimeout = whole,
         .maxBodyBytes = 1 << 20,
         .whileWaiting = whileWaiting_,
         .onFailure = [this](const std::string& cause) { told_.push_back(cause); },
         .caFile = caFile_});
    RecordingInternet internet(curl);
    BoardAddress board;
    info_ = {"old background", "old title picture", kOld};
    FetchSignboard(address, ReadProxySetting(settings_.store()), internet, board, info_, internet);
    return internet.log;
  }

  TempSettings settings_;
  SignboardInfo info_;
  std::string caFile_;
  std::function<bool()> whileWaiting_;
  Log told_;
};

TEST_F(FetchOverLoopback, request_reaches_the_server_or_the_proxy_as_formed_or_no_one) {
  LoopbackServer server(kServes);
  LoopbackServer proxy(kServes);
  const std::string at = server.address();
  struct Case {
    int32_t useProxy;
    std::string host, board, target;  // target empty: a name that is none, nothing sent
    std::string variable = {};        // set for the fetch: http_proxy to the proxy, no_proxy to *
  };
  const Case cases[] = {
      {2, "localhost", "news", "http://localhost/news/SETTING.TXT"},  // any USE_PROXY but 0
      {1, "localhost", "news", "http://localhost/news/SETTING.TXT", "no_proxy"},  // not for it
      {0, at, "news", "/news/SETTING.TXT"},  // past the stored keys
      {0, "localhost:81", "b", "http://localhost:81/b/SETTING.TXT", "http_proxy"},
      {0, at, "", "/SETTING.TXT"},
      {0, at, "-_~.!$&'()*+,;=:@ #?\"<>\\^`{|}\x94\xc2%4%41",
       "/-_~.!$&'()*+,;=:@%20%23%3F%22%3C%3E%5C%5E%60%7B%7C%7D%94%C2%254%41/SETTING.TXT"},
      {0, at, "..", "/../SETTING.TXT"},
      {1, "127.0.0.1:0", "news", ""},  // one of the names that are none (fuzz.http_target)
  };
  for (const Case& row : cases) {
    UseProxy(row.useProxy, proxy.port());
    if (!row.variable.empty())
      ::setenv(row.variable.c_str(),
               row.variable == "no_proxy" ? "*" : ("http://" + proxy.address()).c_str(), 1);
    const Log log = Fetch(ThreadAddress(row.host, row.board));
    if (!row.variable.empty()) ::unsetenv(row.variable.c_str());
    const Log sent = row.target.empty() ? Log{} : Log{Request(row.target, row.host)};
    const bool proxied = row.useProxy != 0 || row.variable == "http_proxy";
    EXPECT_EQ(proxy.TakeRequests(), proxied ? sent : Log{}) << row.host << row.board;
    EXPECT_EQ(server.TakeRequests(), proxied ? Log{} : sent) << row.host << row.board;
    EXPECT_EQ(log, Ending(row.target.empty() ? kFetchFailed : kSignboard)) << row.host;
    EXPECT_EQ(told_.size(), row.target.empty() ? 1u : 0u) << row.host;
  }
  settings_.SetProxy(1, "", "");  // joined as stored: a lone ":"
  EXPECT_EQ(Fetch(ThreadAddress(at)), Ending(kFetchFailed));
  EXPECT_EQ(server.TakeRequests(), Log{});
  const uint16_t gone = UnusedPort();
  UseProxy(1, gone);
  Fetch(ThreadAddress(at));
  EXPECT_TRUE(ToldOnce(told_, at, " through the proxy 127.0.0.1:" + std::to_string(gone) + ": ",
                       "Connection refused"))
      << ::testing::PrintToString(told_);
}

TEST_F(FetchOverLoopback, every_outcome_shows_its_page_with_the_session_closed_by_its_limits) {
  // The client hung up before the server gave up (ten seconds on, well past the limit under test).
  std::atomic<bool> clientLeft = false;
  struct Case {
    const char* name;
    Handler answer;           // none: nothing listens
    std::string page, title;  // title: the fields applied, stale ones if no body came
    std::string told = "";    // the cause on the one line of a failure; empty: no line
    bool clientGivesUp = false;
    milliseconds noProgress = 30s, whole = 60s;
  };
  const Case cases[] = {
      {"gzip body, unasked", Gzipped(), kSignboard, "Test board"},
      {"error status with a page is a parse failure",
       Answer(Response("404 Not Found", "<html><body>Not Found</body></html>\n")), kParseFailed, "",
       "the server answered HTTP/1.0 404 Not Found"},
      {"a title but no pictures", Answer(Response("200 OK", "BBS_TITLE=Test board\n")),
       kParseFailed, "Test board"},
      {"redirect to another path", Redirect("/moved/SETTING.TXT"), kSignboard, "Test board"},
      {"redirects without end", Redirect("/news/again/SETTING.TXT"), kFetchFailed, kOld,
       "redirects"},
      {"redirect to a scheme but http and https", Redirect("file:///etc/os-release"), kFetchFailed,
       kOld, "file"},
      {"compressed body that does not decode",
       Answer("HTTP/1.0 200 OK\r\nContent-Encoding: gzip\r\n\r\n" + kSettingText), kFetchFailed, "",
       "unencoding"},
      {"refused connection", nullptr, kFetchFailed, kOld, "Connection refused"},
      {"break after the keys",
       Answer("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n" + kSettingText), kFetchFailed,
       "Test board", "remaining"},
      {"stall after the first line",
       [&](const std::string&, int socket) {
         Send(socket, Response("200 OK", "BBS_TITLE=Test board\n"));
         pollfd closed{socket, POLLIN, 0};
         clientLeft = ::poll(&closed, 1, 10'000) > 0;
       },
       kFetchFailed, "Test board", "too slow", true, 1s},
      {"silence after the request",
       [&](const std::string&, int socket) {
         pollfd closed{socket, POLLIN, 0};
         clientLeft = ::poll(&closed, 1, 10'000) > 0;
       },
       kFetchFailed, kOld, "too slow", true, 1s},
      {"trickle that never ends",
       [&](const std::string&, int socket) {
         Send(socket, Response("200 OK", ""));
         for (int i = 0; i < 100 && !(clientLeft = !Send(socket, "x")); ++i)
           std::this_thread::sleep_for(100ms);
       },
       kFetchFailed, "", "timed out", true, 30s, 2s},
      {"body without end",
       [&](const std::string&, int socket) {
         Send(socket, Response("200 OK", ""));
         for (int i = 0; i < 2500 && !(clientLeft = !Send(socket, std::string(4096, 'x'))); ++i) {
         }
       },
       kFetchFailed, "", "larger than 1 MiB", true},
  };
  for (const Case& row : cases) {
    auto server = row.answer ? std::make_unique<LoopbackServer>(row.answer) : nullptr;
    clientLeft = false;
    const std::string host =
        server ? server->address() : "127.0.0.1:" + std::to_string(UnusedPort());
    EXPECT_EQ(Fetch(ThreadAddress(host), row.noProgress, row.whole), Ending(row.page)) << row.name;
    server.reset();  // the handler has finished
    if (row.clientGivesUp) {
      EXPECT_TRUE(clientLeft) << row.name << ": the client's limits ended it";
    }
    EXPECT_EQ(info_.title, row.title) << row.name;
    if (row.told.empty()) {
      EXPECT_EQ(told_, Log{}) << row.name;
    } else {
      EXPECT_TRUE(ToldOnce(told_, host, ": ", row.told)) << ::testing::PrintToString(told_);
    }
  }
}

TEST_F(FetchOverLoopback, a_transfer_given_up_while_it_waits_fails_at_once_untold) {
  std::atomic<bool> clientLeft = false;
  auto holding = std::make_unique<LoopbackServer>([&](const std::string&, int socket) {
    pollfd closed{socket, POLLIN, 0};
    clientLeft = ::poll(&closed, 1, 10'000) > 0;
  });
  int calls = 0;
  whileWaiting_ = [&calls] { return ++calls < 3; };
  EXPECT_EQ(Fetch(ThreadAddress(holding->address())), Ending(kFetchFailed));
  holding.reset();
  EXPECT_EQ(calls, 3);
  EXPECT_TRUE(clientLeft);
  EXPECT_EQ(told_, Log{});
}

TEST_F(FetchOverLoopback, board_moved_to_https_shows_directly_or_through_a_real_proxy_if_trusted) {
  // openssl's test server under a certificate of an authority made now, trusted only when handed.
  fs::create_directory(Folder() / "news");
  std::ofstream(Folder() / "news" / "SETTING.TXT", std::ios::binary) << kSettingText;
  const std::string issue =
      "openssl req -x509 -days 1 -nodes -newkey ec -pkeyopt ec_paramgen_curve:P-256 -subj ";
  const Daemon tls(Folder(),
                   issue + "/CN=authority -keyout ca.key -out ca.pem && " + issue +
                       "/CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -CA ca.pem "
                       "-CAkey ca.key -keyout key.pem -out cert.pem && exec openssl "
                       "s_server -quiet -WWW -cert cert.pem -key key.pem -accept 127.0.0.1:$1");
  const Daemon tinyproxy(Folder(),
                         "printf 'Port %s\nListen 127.0.0.1\nAllow 127.0.0.1\nLogLevel Connect\n"
                         "LogFile \"%s/tinyproxy.log\"\n' $1 \"$PWD\" >tinyproxy.conf && "
                         "exec tinyproxy -d -c tinyproxy.conf");
  LoopbackServer server(Redirect("https://" + tls.address + "/news/SETTING.TXT"));
  for (const bool proxy : {false, true}) {
    UseProxy(proxy, tinyproxy.port);
    for (const bool trusted : {true, false}) {
      caFile_ = trusted ? (Folder() / "ca.pem").string() : "";  // empty: the system's authorities
      EXPECT_EQ(Fetch(ThreadAddress(server.address())), Ending(trusted ? kSignboard : kFetchFailed))
          << proxy << trusted;
      EXPECT_EQ(info_.title, trusted ? "Test board" : kOld);
      // The proxy relays the plain request and then the tunnel.
      EXPECT_EQ(server.TakeRequests().back().find("tinyproxy") != std::string::npos, proxy);
    }
    std::ifstream log(Folder() / "tinyproxy.log");
    const std::string relayed{std::istreambuf_iterator<char>(log), {}};
    EXPECT_EQ(relayed.find("CONNECT " + tls.address + " ") != std::string::npos, proxy);
  }
}

}  // namespace
}  // namespace bolta

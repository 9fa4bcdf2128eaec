#include "platform/curl_internet.h"

#include <curl/curl.h>

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/http_target.h"
#include "res/ascii.h"
#include "retrieval/line_reader.h"

namespace bolta {

namespace {

using Clock = std::chrono::steady_clock;

// Longest wait inside libcurl before the waiting callback runs again: short, as the web engine
// starting meanwhile waits on the event loop for each step of its start.
constexpr std::chrono::milliseconds kWaitingInterval{5};
constexpr long kMaxRedirects = 5;

// libcurl's global state, counted by libcurl itself: every session holds it while its objects live.
struct CurlLibrary {
  CurlLibrary() {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
      throw InternetException("libcurl cannot be initialised");
    }
  }
  ~CurlLibrary() { curl_global_cleanup(); }
  CurlLibrary(const CurlLibrary&) = delete;
  CurlLibrary& operator=(const CurlLibrary&) = delete;
};

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

std::string_view HeaderName(std::string_view line) { return line.substr(0, line.find(':')); }

std::string Bytes(std::size_t count) {
  constexpr std::size_t kMiB = 1024 * 1024;
  if (count % kMiB == 0) return std::to_string(count / kMiB) + " MiB";
  return std::to_string(count) + " bytes";
}

// libcurl counts the no-progress time in whole seconds, and zero would switch it off.
long LowSpeedSeconds(std::chrono::milliseconds limit) {
  return std::max(1L, long(std::chrono::ceil<std::chrono::seconds>(limit).count()));
}

struct SessionState {
  SessionState(std::shared_ptr<const CurlInternetOptions> options, std::string agent,
               bool namedProxy, std::string proxyName)
      : options(std::move(options)),
        agent(std::move(agent)),
        namedProxy(namedProxy),
        proxyName(std::move(proxyName)) {}

  CurlLibrary library;  // initialised first: a failure here is the session's
  std::shared_ptr<const CurlInternetOptions> options;
  std::string agent;
  bool namedProxy;
  std::string proxyName;

  void Report(const std::string& cause) const {
    if (options->onFailure) options->onFailure(cause);
  }
};

struct ServerState {
  std::shared_ptr<const SessionState> session;
  std::string origin;  // the request adds the path; a CURLU would rewrite the path's escapes
  std::string user;
  std::string password;
};

class CurlHttpFile final : public HttpFile {
 public:
  CurlHttpFile(std::shared_ptr<const ServerState> server, std::string verb, std::string path,
               std::string referrer, std::string version, std::vector<std::string> headers)
      : server_(std::move(server)),
        verb_(std::move(verb)),
        path_(std::move(path)),
        referrer_(std::move(referrer)),
        version_(std::move(version)),
        headerLines_(std::move(headers)) {}

  ~CurlHttpFile() override { Release(); }

  void AddRequestHeaders(const std::string& headers, uint32_t flags) override {
    std::string_view rest = headers;
    while (!rest.empty()) {
      const std::size_t end = rest.find('\n');
      std::string_view line = rest.substr(0, end);
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
      if (line.ends_with('\r')) line.remove_suffix(1);
      if (line.empty()) continue;
      if ((flags & HTTP_ADDREQ_FLAG_ADD_IF_NEW) != 0 && HasHeader(HeaderName(line))) continue;
      headerLines_.emplace_back(line);
    }
  }

  void SendRequest() override {
    if (easy_) throw InternetException("the request was sent already");
    if (closed_) throw InternetException("the request is closed");
    Start();
    Drive([this] { return headArrived_; });
    // A failure after the head belongs to the body: the lines before it are read first.
    if (!headArrived_) ThrowIfFailed();
  }

  bool ReadString(std::string& line) override {
    if (!easy_) throw InternetException("the request is not open");
    while (!lines_.NextLine(line)) {
      if (done_) {
        ThrowIfFailed();
        return lines_.LastLine(line);
      }
      const std::size_t before = bodyBytes_;
      Drive([this, before] { return bodyBytes_ != before; });
    }
    return true;
  }

  void Close() override {
    Release();
    closed_ = true;
  }

 private:
  bool HasHeader(std::string_view name) const {
    for (const auto& line : headerLines_) {
      if (EqualsIgnoringAsciiCase(HeaderName(line), name)) return true;
    }
    return false;
  }

  void Start() {
    const SessionState& session = *server_->session;
    const CurlInternetOptions& options = *session.options;

    easy_.reset(curl_easy_init());
    multi_.reset(curl_multi_init());
    if (!easy_ || !multi_) throw InternetException("the request cannot be opened");
    const std::string url = server_->origin + path_;

    CURL* easy = easy_.get();
    for (const auto& line : headerLines_) Append(headers_, line);
    // No User-Agent of libcurl's, and the agent name only for a request that has none.
    if (!HasHeader("User-Agent")) Append(headers_, "User-Agent: " + session.agent);
    // A server may compress the body unasked: libcurl decodes every coding it knows, and the
    // empty header keeps the Accept-Encoding that decoding would add off the wire.
    if (!HasHeader("Accept-Encoding")) Append(headers_, "Accept-Encoding:");
    // libcurl would add this header of its own when it speaks to a proxy.
    Append(proxyHeaders_, "Proxy-Connection:");

    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
    if (verb_ != "GET") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, verb_.c_str());
    curl_easy_setopt(
        easy, CURLOPT_HTTP_VERSION,
        version_ == "HTTP/1.0" ? long(CURL_HTTP_VERSION_1_0) : long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers_.get());
    curl_easy_setopt(easy, CURLOPT_PROXYHEADER, proxyHeaders_.get());
    if (!referrer_.empty()) curl_easy_setopt(easy, CURLOPT_REFERER, referrer_.c_str());
    if (!server_->user.empty()) {
      curl_easy_setopt(easy, CURLOPT_USERNAME, server_->user.c_str());
      curl_easy_setopt(easy, CURLOPT_PASSWORD, server_->password.c_str());
    }
    // Without a named proxy libcurl follows the environment (http_proxy, no_proxy); a named
    // proxy has no bypass list, whatever no_proxy says.
    if (session.namedProxy) {
      curl_easy_setopt(easy, CURLOPT_PROXY, session.proxyName.c_str());
      curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
    }
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    // Many boards have moved; a moved board may now serve https.
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    if (!options.caFile.empty()) curl_easy_setopt(easy, CURLOPT_CAINFO, options.caFile.c_str());
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(options.connectTimeout.count()));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, long(options.transferTimeout.count()));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, LowSpeedSeconds(options.noProgressTimeout));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText_);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlHttpFile::OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &CurlHttpFile::OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);

    if (curl_multi_add_handle(multi_.get(), easy) != CURLM_OK) {
      throw InternetException("the request cannot be started");
    }
    added_ = true;
  }

  static void Append(HeaderList& list, const std::string& line) {
    curl_slist* longer = curl_slist_append(list.get(), line.c_str());
    if (!longer) throw InternetException("out of memory");
    list.release();
    list.reset(longer);
  }

  // Runs the transfer until `ready()` holds, the transfer has ended or the waiting callback gives
  // it up, waiting in steps of at most kWaitingInterval with the callback between them.
  template <class Ready>
  void Drive(Ready ready) {
    const CurlInternetOptions& options = *server_->session->options;
    auto lastCall = Clock::now();
    for (;;) {
      int running = 0;
      if (curl_multi_perform(multi_.get(), &running) != CURLM_OK) {
        Fail("the transfer cannot go on");
        return;
      }
      int left = 0;
      while (CURLMsg* message = curl_multi_info_read(multi_.get(), &left)) {
        if (message->msg == CURLMSG_DONE) Finish(message->data.result);
      }
      if (done_ || ready()) return;
      const auto wait = std::max(
          std::chrono::milliseconds(0),
          kWaitingInterval -
              std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastCall));
      curl_multi_poll(multi_.get(), nullptr, 0, static_cast<int>(wait.count()), nullptr);
      if (options.whileWaiting && Clock::now() - lastCall >= kWaitingInterval) {
        if (!options.whileWaiting()) {
          done_ = true;
          failure_ = "the transfer was given up";
          return;
        }
        lastCall = Clock::now();
      }
    }
  }

  void Finish(CURLcode result) {
    if (result == CURLE_OK) {
      done_ = true;
      // The body of another status is read as any other, but the status is what went wrong.
      if (status_ / 100 != 2) Report("the server answered " + statusLine_);
    } else if (tooLarge_) {
      Fail("the body is larger than " + Bytes(server_->session->options->maxBodyBytes));
    } else {
      std::string reason = errorText_[0] != '\0' ? errorText_ : curl_easy_strerror(result);
      // libcurl's words for a failed connection leave out the system's reason.
      long error = 0;
      if (result == CURLE_COULDNT_CONNECT &&
          curl_easy_getinfo(easy_.get(), CURLINFO_OS_ERRNO, &error) == CURLE_OK && error != 0) {
        reason += " (" + std::generic_category().message(int(error)) + ")";
      }
      Fail(std::move(reason));
    }
  }

  void Fail(std::string reason) {
    done_ = true;
    Report(reason);
    failure_ = std::move(reason);
  }

  void Report(const std::string& cause) const {
    const SessionState& session = *server_->session;
    std::string through;
    if (session.namedProxy) through = " through the proxy " + session.proxyName;
    session.Report("cannot fetch " + server_->origin + path_ + through + ": " + cause);
  }

  void ThrowIfFailed() const {
    if (failure_) throw InternetException(*failure_);
  }

  void Release() {
    if (added_) curl_multi_remove_handle(multi_.get(), easy_.get());
    added_ = false;
    easy_.reset();
    multi_.reset();
    headers_.reset();
    proxyHeaders_.reset();
  }

  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto& file = *static_cast<CurlHttpFile*>(self);
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
      const std::size_t space = line.find(' ');
      file.statusLine_ = line.substr(0, line.find_last_not_of("\r\n") + 1);
      file.status_ = 0;
      file.location_ = false;
      if (space != std::string_view::npos) {
        std::from_chars(line.data() + space + 1, line.data() + line.size(), file.status_);
      }
    } else if (EqualsIgnoringAsciiCase(HeaderName(line), "Location")) {
      file.location_ = true;
    } else if (line == "\r\n" || line == "\n") {
      // The end of a head that is neither interim nor followed to another address.
      const bool interim = file.status_ / 100 == 1;
      const bool redirect = file.status_ / 100 == 3 && file.location_;
      if (!interim && !redirect) file.headArrived_ = true;
    }
    return size * count;
  }

  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto& file = *static_cast<CurlHttpFile*>(self);
    const std::size_t length = size * count;
    file.headArrived_ = true;
    if (length > file.server_->session->options->maxBodyBytes - file.bodyBytes_) {
      file.tooLarge_ = true;
      return CURL_WRITEFUNC_ERROR;
    }
    file.bodyBytes_ += length;
    file.lines_.Append(std::string_view(data, length));
    return length;
  }

  std::shared_ptr<const ServerState> server_;
  std::string verb_;
  std::string path_;
  std::string referrer_;
  std::string version_;
  std::vector<std::string> headerLines_;

  // Declared before the easy handle, which refers to them until it is gone.
  HeaderList headers_;
  HeaderList proxyHeaders_;
  char errorText_[CURL_ERROR_SIZE] = {};
  MultiHandle multi_;
  EasyHandle easy_;
  bool added_ = false;
  bool closed_ = false;

  LineReader lines_;
  std::size_t bodyBytes_ = 0;
  bool tooLarge_ = false;
  std::string statusLine_;
  int status_ = 0;
  bool location_ = false;
  bool headArrived_ = false;
  bool done_ = false;
  std::optional<std::string> failure_;
};

class CurlHttpConnection final : public HttpConnection {
 public:
  explicit CurlHttpConnection(std::shared_ptr<const ServerState> server)
      : server_(std::move(server)) {}

  std::unique_ptr<HttpFile> OpenRequest(const std::string& verb, const std::string& objectName,
                                        const std::string& referrer, uint32_t /*context*/,
                                        const std::vector<std::string>& acceptTypes,
                                        const std::string& version, uint32_t /*flags*/) override {
    if (!server_) throw InternetException("the connection is closed");
    std::vector<std::string> headers;
    if (!acceptTypes.empty()) {
      std::string accept = "Accept: ";
      for (const auto& type : acceptTypes) {
        if (&type != &acceptTypes.front()) accept += ", ";
        accept += type;
      }
      headers.push_back(std::move(accept));
    }
    return std::make_unique<CurlHttpFile>(server_, verb, RequestPath(objectName), referrer, version,
                                          std::move(headers));
  }

  void Close() override { server_.reset(); }

 private:
  std::shared_ptr<const ServerState> server_;
};

class CurlInternetSession final : public InternetSession {
 public:
  explicit CurlInternetSession(std::shared_ptr<const SessionState> session)
      : session_(std::move(session)) {}

  std::unique_ptr<HttpConnection> GetHttpConnection(const std::string& server, uint16_t port,
                                                    const std::string& user,
                                                    const std::string& password) override {
    if (!session_) throw InternetException("the session is closed");
    std::string origin;
    try {
      origin = ServerOrigin(server, port);
    } catch (const InternetException& failure) {
      session_->Report(std::string("cannot fetch: ") + failure.what());
      throw;
    }
    auto state = std::make_shared<ServerState>(ServerState{session_, origin, user, password});
    return std::make_unique<CurlHttpConnection>(std::move(state));
  }

  void Close() override { session_.reset(); }

 private:
  std::shared_ptr<const SessionState> session_;
};

}  // namespace

CurlInternetOpener::CurlInternetOpener(CurlInternetOptions options)
    : options_(std::make_shared<const CurlInternetOptions>(std::move(options))) {}

std::unique_ptr<InternetSession> CurlInternetOpener::Open(const std::string& agent,
                                                          uint32_t /*context*/, uint32_t accessType,
                                                          const std::string& proxyName) {
  if (accessType != INTERNET_OPEN_TYPE_PRECONFIG && accessType != INTERNET_OPEN_TYPE_PROXY) {
    throw InternetException("unknown access type " + std::to_string(accessType));
  }
  auto session = std::make_shared<const SessionState>(
      options_, agent, accessType == INTERNET_OPEN_TYPE_PROXY, proxyName);
  return std::make_unique<CurlInternetSession>(std::move(session));
}

}  // namespace bolta

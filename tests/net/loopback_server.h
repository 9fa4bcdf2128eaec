#pragma once
// An HTTP server for tests on 127.0.0.1 and an ephemeral port. One thread takes the connections
// one after another, records each request head byte for byte and lets the handler answer on the
// socket. Every wait is bounded, and the server stops when it is destroyed.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace bolta::nettest {

// False once the client has gone or stopped reading.
inline bool Send(int socket, const std::string& bytes) {
  return ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
}

// A response with the given status (such as "200 OK") and no length: the body ends at the close.
inline std::string Response(const std::string& status, const std::string& body) {
  return "HTTP/1.0 " + status + "\r\nContent-Type: text/plain\r\n\r\n" + body;
}

using Handler = std::function<void(const std::string& request, int socket)>;

inline Handler Answer(std::string response) {
  return [response](const std::string&, int socket) { Send(socket, response); };
}

class LoopbackServer {
 public:
  explicit LoopbackServer(Handler handler) : handler_(std::move(handler)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::listen(listener_, 8) != 0) {
      throw std::runtime_error("no loopback port");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    ::shutdown(listener_, SHUT_RDWR);  // ends the waiting accept
    thread_.join();
    ::close(listener_);
  }

  uint16_t port() const { return port_; }
  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
  // The requests that came since the last call.
  std::vector<std::string> TakeRequests() {
    std::lock_guard lock(mutex_);
    return std::exchange(requests_, {});
  }

 private:
  void Serve() {
    for (int fd; (fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0; ::close(fd)) {
      const timeval limit{1, 0};
      for (int option : {SO_RCVTIMEO, SO_SNDTIMEO})
        ::setsockopt(fd, SOL_SOCKET, option, &limit, sizeof limit);
      std::string request;
      char buffer[4096];
      for (ssize_t got; request.find("\r\n\r\n") == std::string::npos &&
                        (got = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
        request.append(buffer, std::size_t(got));
      }
      std::unique_lock lock(mutex_);
      requests_.push_back(request);
      lock.unlock();
      if (request.ends_with("\r\n\r\n")) handler_(request, fd);
    }
  }

  Handler handler_;
  int listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  uint16_t port_ = 0;
  std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// A loopback port on which nothing listens any more.
inline uint16_t UnusedPort() { return LoopbackServer(Handler()).port(); }

}  // namespace bolta::nettest

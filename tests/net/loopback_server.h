#pragma once
// A small HTTP server for tests on 127.0.0.1 and an ephemeral port. One thread takes the
// connections one after another, records each request head byte for byte and lets the test's
// handler answer it. Every wait is bounded, and the server stops when it is destroyed.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace bolta::nettest {

// The accepted connection, as the handler sees it.
class Peer {
 public:
  Peer(int socket, const std::atomic<bool>& stopping) : socket_(socket), stopping_(stopping) {}

  // False once the client has gone or the server is stopping.
  bool Send(std::string_view bytes);
  // Makes the end of the handler end the connection with a reset instead of an orderly close.
  void Reset();
  // Waits until the server stops or `limit` has passed.
  void Stall(std::chrono::milliseconds limit) const;

 private:
  int socket_;
  const std::atomic<bool>& stopping_;
};

class LoopbackServer {
 public:
  // `request`: the head as received, up to and including its empty line.
  using Handler = std::function<void(const std::string& request, Peer& peer)>;

  explicit LoopbackServer(Handler handler);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  uint16_t port() const { return port_; }
  // "127.0.0.1:<port>"
  std::string address() const;
  std::vector<std::string> requests() const;
  int connections() const { return connections_; }

 private:
  void Serve();

  Handler handler_;
  int listener_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// A complete response with the given status line tail (such as "200 OK") and body, no length
// given: the body ends when the connection closes.
std::string Response(std::string_view status, std::string_view body);

// A loopback port on which nothing listens: connecting to it is refused.
uint16_t UnusedPort();

}  // namespace bolta::nettest

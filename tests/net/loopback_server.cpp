#include "net/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace bolta::nettest {

namespace {

constexpr std::chrono::milliseconds kStep{20};
constexpr std::chrono::seconds kRequestLimit{5};

int LoopbackSocket(uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    throw std::runtime_error("bind");
  }
  return fd;
}

uint16_t BoundPort(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

bool Readable(int fd, std::chrono::milliseconds wait) {
  pollfd entry{fd, POLLIN, 0};
  return ::poll(&entry, 1, static_cast<int>(wait.count())) > 0;
}

}  // namespace

bool Peer::Send(std::string_view bytes) {
  while (!bytes.empty() && !stopping_) {
    pollfd entry{socket_, POLLOUT, 0};
    if (::poll(&entry, 1, static_cast<int>(kStep.count())) <= 0) continue;
    const ssize_t sent = ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return bytes.empty();
}

void Peer::Reset() {
  const linger abortive{1, 0};
  ::setsockopt(socket_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
}

void Peer::Stall(std::chrono::milliseconds limit) const {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!stopping_ && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(kStep);
}

LoopbackServer::LoopbackServer(Handler handler) : handler_(std::move(handler)) {
  listener_ = LoopbackSocket(0);
  if (::listen(listener_, 8) != 0) {
    ::close(listener_);
    throw std::runtime_error("listen");
  }
  port_ = BoundPort(listener_);
  thread_ = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
  stopping_ = true;
  thread_.join();
  ::close(listener_);
}

std::string LoopbackServer::address() const { return "127.0.0.1:" + std::to_string(port_); }

std::vector<std::string> LoopbackServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void LoopbackServer::Serve() {
  while (!stopping_) {
    if (!Readable(listener_, kStep)) continue;
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++connections_;
    std::string request;
    const auto end = std::chrono::steady_clock::now() + kRequestLimit;
    while (request.find("\r\n\r\n") == std::string::npos && !stopping_ &&
           std::chrono::steady_clock::now() < end) {
      if (!Readable(fd, kStep)) continue;
      char buffer[4096];
      const ssize_t received = ::recv(fd, buffer, sizeof buffer, 0);
      if (received <= 0) break;
      request.append(buffer, static_cast<std::size_t>(received));
    }
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    Peer peer(fd, stopping_);
    if (request.find("\r\n\r\n") != std::string::npos) handler_(request, peer);
    ::close(fd);
  }
}

std::string Response(std::string_view status, std::string_view body) {
  return "HTTP/1.0 " + std::string(status) + "\r\nContent-Type: text/plain\r\n\r\n" +
         std::string(body);
}

uint16_t UnusedPort() {
  const int fd = LoopbackSocket(0);
  const uint16_t port = BoundPort(fd);
  ::close(fd);
  return port;
}

}  // namespace bolta::nettest

#pragma once
// A real tinyproxy on a free loopback port, run in the foreground with a configuration of the
// test's own, for as long as this object lives.
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace bolta::nettest {

class TinyproxyProcess {
 public:
  // Keeps its configuration and log in a directory of its own; throws if the proxy does not
  // come up.
  TinyproxyProcess();
  ~TinyproxyProcess();
  TinyproxyProcess(const TinyproxyProcess&) = delete;
  TinyproxyProcess& operator=(const TinyproxyProcess&) = delete;

  uint16_t port() const { return port_; }
  const std::filesystem::path& log() const { return log_; }

 private:
  void Stop();

  std::filesystem::path directory_;
  uint16_t port_ = 0;
  std::filesystem::path log_;
  pid_t pid_ = -1;
};

}  // namespace bolta::nettest

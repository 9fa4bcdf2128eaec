#include "net/tinyproxy_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "net/loopback_server.h"

namespace bolta::nettest {

namespace {

constexpr std::chrono::seconds kStartLimit{5};
constexpr std::chrono::seconds kStopLimit{3};
constexpr std::chrono::milliseconds kStep{20};

bool Accepts(uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

std::filesystem::path NewDirectory() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "bolta-tinyproxy-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("no temporary directory");
  return pattern;
}

}  // namespace

TinyproxyProcess::TinyproxyProcess()
    : directory_(NewDirectory()), port_(UnusedPort()), log_(directory_ / "tinyproxy.log") {
  const auto config = directory_ / "tinyproxy.conf";
  std::ofstream(config) << "Port " << port_ << "\n"
                        << "Listen 127.0.0.1\n"
                        << "Allow 127.0.0.1\n"
                        << "Timeout 10\n"
                        << "MaxClients 4\n"
                        << "LogLevel Info\n";

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log_.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  const std::string configText = config.string();
  char* const argv[] = {const_cast<char*>("tinyproxy"), const_cast<char*>("-d"),
                        const_cast<char*>("-c"), const_cast<char*>(configText.c_str()), nullptr};
  const int spawned = posix_spawnp(&pid_, "tinyproxy", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("tinyproxy cannot be started (is it installed?)");

  const auto end = std::chrono::steady_clock::now() + kStartLimit;
  while (!Accepts(port_)) {
    if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;  // reaped: nothing of ours to stop any more
      throw std::runtime_error("tinyproxy ended at once; see " + log_.string());
    }
    if (std::chrono::steady_clock::now() > end) {
      Stop();
      throw std::runtime_error("tinyproxy did not come up; see " + log_.string());
    }
    std::this_thread::sleep_for(kStep);
  }
}

TinyproxyProcess::~TinyproxyProcess() {
  Stop();
  std::error_code ignored;
  std::filesystem::remove_all(directory_, ignored);
}

void TinyproxyProcess::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  const auto end = std::chrono::steady_clock::now() + kStopLimit;
  while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(kStep);
  }
  pid_ = -1;
}

}  // namespace bolta::nettest

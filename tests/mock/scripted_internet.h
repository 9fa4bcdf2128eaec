#pragma once
// An Internet layer without a network: the session opens unless told not to, and its request
// delivers an empty file. One object plays each part (session, connection, request) in turn.
#include <memory>
#include <string>
#include <vector>

#include "retrieval/internet.h"

namespace bolta {

class ScriptedInternet final : public InternetOpener,
                               public InternetSession,
                               public HttpConnection,
                               public HttpFile {
 public:
  explicit ScriptedInternet(bool opens = true) : opens_(opens) {}

  std::unique_ptr<InternetSession> Open(const std::string&, uint32_t, uint32_t,
                                        const std::string&) override {
    if (!opens_) throw InternetException("scripted failure");
    return std::make_unique<ScriptedInternet>();
  }
  std::unique_ptr<HttpConnection> GetHttpConnection(const std::string&, uint16_t,
                                                    const std::string&,
                                                    const std::string&) override {
    return std::make_unique<ScriptedInternet>();
  }
  std::unique_ptr<HttpFile> OpenRequest(const std::string&, const std::string&, const std::string&,
                                        uint32_t, const std::vector<std::string>&,
                                        const std::string&, uint32_t) override {
    return std::make_unique<ScriptedInternet>();
  }
  void AddRequestHeaders(const std::string&, uint32_t) override {}
  void SendRequest() override {}
  bool ReadString(std::string&) override { return false; }
  void Close() override {}

 private:
  bool opens_;
};

}  // namespace bolta

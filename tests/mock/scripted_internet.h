#pragma once
// An Internet layer without a network: its request delivers an empty file, and any one step can
// be made to fail. One object plays each part (session, connection, request) in turn.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "retrieval/internet.h"

namespace bolta {

class ScriptedInternet final : public InternetOpener,
                               public InternetSession,
                               public HttpConnection,
                               public HttpFile {
 public:
  // `failingStep` throws: "Open", "GetHttpConnection", "OpenRequest", "AddRequestHeaders",
  // "SendRequest" or "ReadString"; empty for none.
  explicit ScriptedInternet(std::string failingStep = {}) : failingStep_(std::move(failingStep)) {}

  std::unique_ptr<InternetSession> Open(const std::string&, uint32_t, uint32_t,
                                        const std::string&) override {
    return Step("Open");
  }
  std::unique_ptr<HttpConnection> GetHttpConnection(const std::string&, uint16_t,
                                                    const std::string&,
                                                    const std::string&) override {
    return Step("GetHttpConnection");
  }
  std::unique_ptr<HttpFile> OpenRequest(const std::string&, const std::string&, const std::string&,
                                        uint32_t, const std::vector<std::string>&,
                                        const std::string&, uint32_t) override {
    return Step("OpenRequest");
  }
  void AddRequestHeaders(const std::string&, uint32_t) override { Step("AddRequestHeaders"); }
  void SendRequest() override { Step("SendRequest"); }
  bool ReadString(std::string&) override { return Step("ReadString"), false; }
  void Close() override {}

 private:
  // Throws when `step` is the failing one; else the next part, played by another of these.
  std::unique_ptr<ScriptedInternet> Step(const std::string& step) const {
    if (failingStep_ == step) throw InternetException("scripted failure: " + step);
    return std::make_unique<ScriptedInternet>(failingStep_);
  }

  std::string failingStep_;
};

}  // namespace bolta

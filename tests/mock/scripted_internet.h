#pragma once
// An Internet layer without a network: its request delivers the scripted lines, and any one step
// can be made to fail. One object plays each part (session, connection, request) in turn.
#include <memory>
#include <string>
#include <vector>

#include "retrieval/internet.h"

namespace bolta {

struct InternetScript {
  std::vector<std::string> lines;
  // The step that throws: "Open", "GetHttpConnection", "OpenRequest", "AddRequestHeaders",
  // "SendRequest" or "ReadString" (once the lines are read); empty for none.
  std::string failingStep;
};

class ScriptedInternet final : public InternetOpener,
                               public InternetSession,
                               public HttpConnection,
                               public HttpFile {
 public:
  explicit ScriptedInternet(InternetScript script) : script_(std::move(script)) {}

  std::unique_ptr<InternetSession> Open(const std::string&, uint32_t, uint32_t,
                                        const std::string&) override {
    return Next("Open");
  }
  std::unique_ptr<HttpConnection> GetHttpConnection(const std::string&, uint16_t,
                                                    const std::string&,
                                                    const std::string&) override {
    return Next("GetHttpConnection");
  }
  std::unique_ptr<HttpFile> OpenRequest(const std::string&, const std::string&, const std::string&,
                                        uint32_t, const std::vector<std::string>&,
                                        const std::string&, uint32_t) override {
    return Next("OpenRequest");
  }
  void AddRequestHeaders(const std::string&, uint32_t) override { Step("AddRequestHeaders"); }
  void SendRequest() override { Step("SendRequest"); }
  bool ReadString(std::string& line) override {
    if (next_ == script_.lines.size()) return Step("ReadString"), false;
    line = script_.lines[next_++];
    return true;
  }
  void Close() override {}

 private:
  void Step(const std::string& step) const {
    if (script_.failingStep == step) throw InternetException("scripted failure: " + step);
  }
  std::unique_ptr<ScriptedInternet> Next(const std::string& step) const {
    Step(step);
    return std::make_unique<ScriptedInternet>(script_);
  }

  InternetScript script_;
  std::size_t next_ = 0;
};

}  // namespace bolta

#pragma once
// An Internet layer without a network: its request delivers the scripted lines, and any one step
// can be made to fail.
#include <memory>
#include <string>
#include <vector>

#include "platform/internet.h"

namespace bolta {

struct InternetScript {
  std::vector<std::string> lines;
  // The step that throws: "Open", "GetHttpConnection", "OpenRequest", "AddRequestHeaders",
  // "SendRequest", "ReadString" (once the lines are read), "Close request", "Close connection"
  // or "Close session"; empty for none.
  std::string failingStep;
};

class ScriptedInternet final : public InternetOpener {
 public:
  explicit ScriptedInternet(InternetScript script)
      : script_(std::make_shared<const InternetScript>(std::move(script))) {}

  std::unique_ptr<InternetSession> Open(const std::string&, uint32_t, uint32_t,
                                        const std::string&) override {
    Step(*script_, "Open");
    return std::make_unique<Session>(script_);
  }

 private:
  using Script = std::shared_ptr<const InternetScript>;

  static void Step(const InternetScript& script, const std::string& step) {
    if (script.failingStep == step) throw InternetException("scripted failure: " + step);
  }

  class File final : public HttpFile {
   public:
    explicit File(Script script) : script_(std::move(script)) {}
    void AddRequestHeaders(const std::string&, uint32_t) override {
      Step(*script_, "AddRequestHeaders");
    }
    void SendRequest() override { Step(*script_, "SendRequest"); }
    bool ReadString(std::string& line) override {
      if (next_ == script_->lines.size()) {
        Step(*script_, "ReadString");
        return false;
      }
      line = script_->lines[next_++];
      return true;
    }
    void Close() override { Step(*script_, "Close request"); }

   private:
    Script script_;
    std::size_t next_ = 0;
  };

  class Connection final : public HttpConnection {
   public:
    explicit Connection(Script script) : script_(std::move(script)) {}
    std::unique_ptr<HttpFile> OpenRequest(const std::string&, const std::string&,
                                          const std::string&, uint32_t,
                                          const std::vector<std::string>&, const std::string&,
                                          uint32_t) override {
      Step(*script_, "OpenRequest");
      return std::make_unique<File>(script_);
    }
    void Close() override { Step(*script_, "Close connection"); }

   private:
    Script script_;
  };

  class Session final : public InternetSession {
   public:
    explicit Session(Script script) : script_(std::move(script)) {}
    std::unique_ptr<HttpConnection> GetHttpConnection(const std::string&, uint16_t,
                                                      const std::string&,
                                                      const std::string&) override {
      Step(*script_, "GetHttpConnection");
      return std::make_unique<Connection>(script_);
    }
    void Close() override { Step(*script_, "Close session"); }

   private:
    Script script_;
  };

  Script script_;
};

}  // namespace bolta

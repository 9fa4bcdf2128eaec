#pragma once
// Wraps any Internet layer and logs every call, its outcome and every release, in order.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "mock/call_log.h"
#include "platform/internet.h"

namespace bolta {

namespace recording_detail {

// Logs `call`, runs `operation` and logs " throws" after the call if it threw.
template <class Operation>
auto Logged(CallLog& log, std::string call, Operation operation) {
  log.push_back(call);
  try {
    return operation();
  } catch (const InternetException&) {
    log.back() += " throws";
    throw;
  }
}

class File final : public HttpFile {
 public:
  File(std::unique_ptr<HttpFile> inner, CallLog& log) : inner_(std::move(inner)), log_(log) {}
  ~File() override { log_.push_back("release request"); }

  void AddRequestHeaders(const std::string& headers, uint32_t flags) override {
    Logged(log_, "AddRequestHeaders " + Quoted(headers) + " " + std::to_string(flags),
           [&] { inner_->AddRequestHeaders(headers, flags); });
  }
  void SendRequest() override {
    Logged(log_, "SendRequest", [&] { inner_->SendRequest(); });
  }
  bool ReadString(std::string& line) override {
    const bool read = Logged(log_, "ReadString", [&] { return inner_->ReadString(line); });
    log_.back() += read ? " " + Quoted(line) : " false";
    return read;
  }
  void Close() override {
    Logged(log_, "Close request", [&] { inner_->Close(); });
  }

 private:
  std::unique_ptr<HttpFile> inner_;
  CallLog& log_;
};

class Connection final : public HttpConnection {
 public:
  Connection(std::unique_ptr<HttpConnection> inner, CallLog& log)
      : inner_(std::move(inner)), log_(log) {}
  ~Connection() override { log_.push_back("release connection"); }

  std::unique_ptr<HttpFile> OpenRequest(const std::string& verb, const std::string& objectName,
                                        const std::string& referrer, uint32_t context,
                                        const std::vector<std::string>& acceptTypes,
                                        const std::string& version, uint32_t flags) override {
    std::string call = "OpenRequest " + verb + " " + Quoted(objectName) + " " + Quoted(referrer) +
                       " " + std::to_string(context) + " " + std::to_string(acceptTypes.size()) +
                       " " + version + " " + std::to_string(flags);
    return std::make_unique<File>(Logged(log_, std::move(call),
                                         [&] {
                                           return inner_->OpenRequest(verb, objectName, referrer,
                                                                      context, acceptTypes, version,
                                                                      flags);
                                         }),
                                  log_);
  }
  void Close() override {
    Logged(log_, "Close connection", [&] { inner_->Close(); });
  }

 private:
  std::unique_ptr<HttpConnection> inner_;
  CallLog& log_;
};

class Session final : public InternetSession {
 public:
  Session(std::unique_ptr<InternetSession> inner, CallLog& log)
      : inner_(std::move(inner)), log_(log) {}
  ~Session() override { log_.push_back("release session"); }

  std::unique_ptr<HttpConnection> GetHttpConnection(const std::string& server, uint16_t port,
                                                    const std::string& user,
                                                    const std::string& password) override {
    std::string call = "GetHttpConnection " + Quoted(server) + " " + std::to_string(port) + " " +
                       Quoted(user) + " " + Quoted(password);
    return std::make_unique<Connection>(
        Logged(log_, std::move(call),
               [&] { return inner_->GetHttpConnection(server, port, user, password); }),
        log_);
  }
  void Close() override {
    Logged(log_, "Close session", [&] { inner_->Close(); });
  }

 private:
  std::unique_ptr<InternetSession> inner_;
  CallLog& log_;
};

}  // namespace recording_detail

class RecordingInternet final : public InternetOpener {
 public:
  RecordingInternet(InternetOpener& inner, CallLog& log) : inner_(inner), log_(log) {}

  std::unique_ptr<InternetSession> Open(const std::string& agent, uint32_t context,
                                        uint32_t accessType,
                                        const std::string& proxyName) override {
    std::string call = "Open " + agent + " " + std::to_string(context) + " " +
                       std::to_string(accessType) + " " + Quoted(proxyName);
    return std::make_unique<recording_detail::Session>(
        recording_detail::Logged(
            log_, std::move(call),
            [&] { return inner_.Open(agent, context, accessType, proxyName); }),
        log_);
  }

 private:
  InternetOpener& inner_;
  CallLog& log_;
};

}  // namespace bolta

#include "platform/early_internet.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace bolta {

// One call of the retrieval and how it ended: a line read or a failure, and the cause of a failure
// the client reported meanwhile, if any.
struct Step {
  static Step Returned(std::string call, bool more = false, std::string line = {}) {
    Step step;
    step.call = std::move(call);
    step.more = more;
    step.line = std::move(line);
    return step;
  }
  static Step Failed(std::string call, std::string failure) {
    Step step;
    step.call = std::move(call);
    step.failure = std::move(failure);
    return step;
  }

  std::string call;
  std::optional<std::string> failure;
  std::string cause;
  bool more = false;  // ReadString's answer
  std::string line;
};

struct EarlyInternet::Record {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Step> steps;
  std::string cause;  // the client's last report, taken by the step it came in
  bool finished = false;
  std::atomic<bool> givenUp = false;
  std::thread worker;

  void Add(Step step) {
    {
      const std::lock_guard lock(mutex);
      step.cause = std::exchange(cause, {});
      steps.push_back(std::move(step));
    }
    changed.notify_all();
  }
  void Finish() {
    {
      const std::lock_guard lock(mutex);
      finished = true;
    }
    changed.notify_all();
  }
};

namespace {

using Record = EarlyInternet::Record;

// Runs `action`, recording its call and outcome; rethrows what it threw.
template <class Action>
auto Recorded(Record& record, std::string call, Action action) {
  try {
    auto result = action();
    record.Add(Step::Returned(std::move(call)));
    return result;
  } catch (const InternetException& failure) {
    record.Add(Step::Failed(std::move(call), failure.what()));
    throw;
  }
}

void RecordedVoid(Record& record, std::string call, const std::function<void()>& action) {
  Recorded(record, std::move(call), [&] { return action(), 0; });
}

std::string Join(std::initializer_list<std::string> parts) {
  std::string joined;
  for (const std::string& part : parts) joined += part + '\n';
  return joined;
}

std::string Join(const std::vector<std::string>& parts) {
  std::string joined;
  for (const std::string& part : parts) joined += part + '\t';
  return joined;
}

// Each call of the retrieval in words, the same for its recording and its replay.
std::string HeadersCall(const std::string& headers, uint32_t flags) {
  return Join({"headers", headers, std::to_string(flags)});
}

std::string RequestCall(const std::string& verb, const std::string& objectName,
                        const std::string& referrer, uint32_t context,
                        const std::vector<std::string>& acceptTypes, const std::string& version,
                        uint32_t flags) {
  return Join({"request", verb, objectName, referrer, std::to_string(context), Join(acceptTypes),
               version, std::to_string(flags)});
}

std::string ConnectionCall(const std::string& server, uint16_t port, const std::string& user,
                           const std::string& password) {
  return Join({"connection", server, std::to_string(port), user, password});
}

std::string SessionCall(const std::string& agent, uint32_t context, uint32_t accessType,
                        const std::string& proxyName) {
  return Join({"session", agent, std::to_string(context), std::to_string(accessType), proxyName});
}

// What each recording wrapper holds: the real object it passes the calls on to, and the record.
template <class Interface>
class Recording : public Interface {
 public:
  Recording(std::unique_ptr<Interface> inner, Record& record)
      : inner_(std::move(inner)), record_(record) {}

 protected:
  std::unique_ptr<Interface> inner_;
  Record& record_;
};

class RecordingFile final : public Recording<HttpFile> {
 public:
  using Recording::Recording;
  void AddRequestHeaders(const std::string& headers, uint32_t flags) override {
    RecordedVoid(record_, HeadersCall(headers, flags),
                 [&] { inner_->AddRequestHeaders(headers, flags); });
  }
  void SendRequest() override {
    RecordedVoid(record_, "send", [&] { inner_->SendRequest(); });
  }
  bool ReadString(std::string& line) override {
    try {
      const bool more = inner_->ReadString(line);
      record_.Add(Step::Returned("read", more, line));
      return more;
    } catch (const InternetException& failure) {
      record_.Add(Step::Failed("read", failure.what()));
      throw;
    }
  }
  void Close() override {
    RecordedVoid(record_, "close file", [&] { inner_->Close(); });
  }
};

class RecordingConnection final : public Recording<HttpConnection> {
 public:
  using Recording::Recording;
  std::unique_ptr<HttpFile> OpenRequest(const std::string& verb, const std::string& objectName,
                                        const std::string& referrer, uint32_t context,
                                        const std::vector<std::string>& acceptTypes,
                                        const std::string& version, uint32_t flags) override {
    const std::string call =
        RequestCall(verb, objectName, referrer, context, acceptTypes, version, flags);
    return std::make_unique<RecordingFile>(Recorded(record_, call,
                                                    [&] {
                                                      return inner_->OpenRequest(
                                                          verb, objectName, referrer, context,
                                                          acceptTypes, version, flags);
                                                    }),
                                           record_);
  }
  void Close() override {
    RecordedVoid(record_, "close connection", [&] { inner_->Close(); });
  }
};

class RecordingSession final : public Recording<InternetSession> {
 public:
  using Recording::Recording;
  std::unique_ptr<HttpConnection> GetHttpConnection(const std::string& server, uint16_t port,
                                                    const std::string& user,
                                                    const std::string& password) override {
    const std::string call = ConnectionCall(server, port, user, password);
    return std::make_unique<RecordingConnection>(
        Recorded(record_, call,
                 [&] { return inner_->GetHttpConnection(server, port, user, password); }),
        record_);
  }
  void Close() override {
    RecordedVoid(record_, "close session", [&] { inner_->Close(); });
  }
};

class RecordingOpener final : public InternetOpener {
 public:
  RecordingOpener(CurlInternetOpener& inner, Record& record) : inner_(inner), record_(record) {}
  std::unique_ptr<InternetSession> Open(const std::string& agent, uint32_t context,
                                        uint32_t accessType,
                                        const std::string& proxyName) override {
    const std::string call = SessionCall(agent, context, accessType, proxyName);
    return std::make_unique<RecordingSession>(
        Recorded(record_, call, [&] { return inner_.Open(agent, context, accessType, proxyName); }),
        record_);
  }

 private:
  CurlInternetOpener& inner_;
  Record& record_;
};

// The retrieval's calls answered from the record, in its order.
class Replay {
 public:
  Replay(std::shared_ptr<Record> record, const CurlInternetOptions& options)
      : record_(std::move(record)), options_(options) {}

  // True when the next recorded call is `call`, waited for. Only the session's opening is asked
  // this, which the early run records at once, touching no network: nothing to give up.
  bool Next(const std::string& call) {
    std::unique_lock lock(record_->mutex);
    WaitForNext(lock, false);
    return next_ < record_->steps.size() && record_->steps[next_].call == call;
  }

  // The recorded outcome of `call`, waited for; a failure is thrown as the client threw it.
  Step Answer(const std::string& call) {
    if (broken_) throw InternetException("the fetch has ended");
    std::unique_lock lock(record_->mutex);
    broken_ = true;  // until the answer is found
    WaitForNext(lock, true);
    if (next_ >= record_->steps.size() || record_->steps[next_].call != call) {
      // Cannot be, as the same retrieval makes the same calls: the fetch fails rather than guess.
      Report("cannot fetch: the early request went otherwise");
      throw InternetException("the early request went otherwise");
    }
    broken_ = false;
    Step step = record_->steps[next_++];
    lock.unlock();
    if (!step.cause.empty()) Report(step.cause);
    if (step.failure) throw InternetException(*step.failure);
    return step;
  }

 private:
  // As the client waits for the network: serving the caller's waiting, which may give it up.
  void WaitForNext(std::unique_lock<std::mutex>& lock, bool mayGiveUp) {
    while (next_ >= record_->steps.size() && !record_->finished) {
      record_->changed.wait_for(lock, std::chrono::milliseconds(5));
      if (!mayGiveUp || !options_.whileWaiting) continue;
      lock.unlock();
      const bool goOn = options_.whileWaiting();
      lock.lock();
      if (!goOn) throw InternetException("the fetch was given up");
    }
  }

  void Report(const std::string& cause) const {
    if (options_.onFailure) options_.onFailure(cause);
  }

  std::shared_ptr<Record> record_;
  const CurlInternetOptions& options_;
  std::size_t next_ = 0;
  bool broken_ = false;  // given up or gone otherwise: closing is all that is left, and quiet
};

// Closing never fails the caller, who closes after a failure too.
void CloseQuietly(Replay& replay, const std::string& call) {
  try {
    replay.Answer(call);
  } catch (const InternetException&) {
  }
}

class ReplayFile final : public HttpFile {
 public:
  explicit ReplayFile(std::shared_ptr<Replay> replay) : replay_(std::move(replay)) {}
  void AddRequestHeaders(const std::string& headers, uint32_t flags) override {
    replay_->Answer(HeadersCall(headers, flags));
  }
  void SendRequest() override { replay_->Answer("send"); }
  bool ReadString(std::string& line) override {
    Step step = replay_->Answer("read");
    line = std::move(step.line);
    return step.more;
  }
  void Close() override { CloseQuietly(*replay_, "close file"); }

 private:
  std::shared_ptr<Replay> replay_;
};

class ReplayConnection final : public HttpConnection {
 public:
  explicit ReplayConnection(std::shared_ptr<Replay> replay) : replay_(std::move(replay)) {}
  std::unique_ptr<HttpFile> OpenRequest(const std::string& verb, const std::string& objectName,
                                        const std::string& referrer, uint32_t context,
                                        const std::vector<std::string>& acceptTypes,
                                        const std::string& version, uint32_t flags) override {
    replay_->Answer(RequestCall(verb, objectName, referrer, context, acceptTypes, version, flags));
    return std::make_unique<ReplayFile>(replay_);
  }
  void Close() override { CloseQuietly(*replay_, "close connection"); }

 private:
  std::shared_ptr<Replay> replay_;
};

class ReplaySession final : public InternetSession {
 public:
  explicit ReplaySession(std::shared_ptr<Replay> replay) : replay_(std::move(replay)) {}
  std::unique_ptr<HttpConnection> GetHttpConnection(const std::string& server, uint16_t port,
                                                    const std::string& user,
                                                    const std::string& password) override {
    replay_->Answer(ConnectionCall(server, port, user, password));
    return std::make_unique<ReplayConnection>(replay_);
  }
  void Close() override { CloseQuietly(*replay_, "close session"); }

 private:
  std::shared_ptr<Replay> replay_;
};

CurlInternetOptions WorkerOptions(CurlInternetOptions options, Record& record) {
  options.whileWaiting = [&record] { return !record.givenUp.load(); };
  options.onFailure = [&record](const std::string& cause) {
    const std::lock_guard lock(record.mutex);
    record.cause = cause;
  };
  return options;
}

}  // namespace

EarlyInternet::EarlyInternet(std::function<void(InternetOpener&)> retrieve,
                             CurlInternetOptions options)
    : record_(std::make_shared<Record>()), options_(std::move(options)), live_(options_) {
  record_->worker = std::thread([record = record_, retrieve = std::move(retrieve),
                                 workerOptions = WorkerOptions(options_, *record_)] {
    CurlInternetOpener client(workerOptions);
    RecordingOpener recording(client, *record);
    try {
      retrieve(recording);
    } catch (const InternetException&) {
      // Recorded: the replay throws it where the view's retrieval asks.
    }
    record->Finish();
  });
}

EarlyInternet::~EarlyInternet() {
  record_->givenUp = true;
  record_->worker.join();
}

std::unique_ptr<InternetSession> EarlyInternet::Open(const std::string& agent, uint32_t context,
                                                     uint32_t accessType,
                                                     const std::string& proxyName) {
  const std::string call = SessionCall(agent, context, accessType, proxyName);
  if (!std::exchange(replayed_, true)) {
    auto replay = std::make_shared<Replay>(record_, options_);
    if (replay->Next(call)) {
      replay->Answer(call);
      return std::make_unique<ReplaySession>(std::move(replay));
    }
  }
  return live_.Open(agent, context, accessType, proxyName);
}

}  // namespace bolta

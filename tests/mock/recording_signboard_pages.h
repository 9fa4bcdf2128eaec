#pragma once
// Page operations that only log their calls.
#include <string>

#include "mock/call_log.h"
#include "retrieval/fetch_signboard.h"

namespace bolta {

class RecordingSignboardPages final : public SignboardPages {
 public:
  explicit RecordingSignboardPages(CallLog& log) : log_(log) {}

  void ShowSignboardPage() override { log_.push_back("ShowSignboardPage"); }
  void ShowMessagePage(const std::string& message) override {
    log_.push_back("ShowMessagePage " + message);
  }

 private:
  CallLog& log_;
};

}  // namespace bolta

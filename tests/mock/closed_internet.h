#pragma once
// An Internet layer whose session never opens: the view and the retrieval need one, and no test
// of the core goes on the network.

#include "retrieval/internet.h"

namespace bolta {

class ClosedInternet final : public InternetOpener {
 public:
  std::unique_ptr<InternetSession> Open(const std::string&, uint32_t, uint32_t,
                                        const std::string&) override {
    throw InternetException("no network in the core's tests");
  }
};

}  // namespace bolta

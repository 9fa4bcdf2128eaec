#pragma once
// The end of the user's session as it reaches the process: SIGTERM (a logout), SIGHUP (a closed
// terminal), SIGINT (Ctrl+C). Each one arrives as an event of the main loop instead of ending the
// process on the spot, so that the tool can end as its close command ends it.
#include <functional>
#include <vector>

namespace bolta {

class SessionEndSignals {
 public:
  // `onEnd` runs on the user-interface thread, from whichever loop serves the main context.
  explicit SessionEndSignals(std::function<void()> onEnd);
  ~SessionEndSignals();  // the signals end the process again
  SessionEndSignals(const SessionEndSignals&) = delete;
  SessionEndSignals& operator=(const SessionEndSignals&) = delete;

 private:
  static int OnSignal(void* self);

  std::function<void()> onEnd_;
  std::vector<unsigned> sources_;
};

// Runs `action` from the main loop: an open modal dialog is cancelled first, and the action waits
// until its loop has ended, so that nothing is torn down under it.
void RunOutsideModalLoops(std::function<void()> action);

}  // namespace bolta

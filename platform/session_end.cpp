#include "platform/session_end.h"

#include <glib-unix.h>
#include <signal.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>

#include <memory>
#include <utility>

#include "platform/glib_payload.h"

namespace bolta {
namespace {

constexpr unsigned kModalRetryMs = 50;

using ActionPayload = GlibPayload<std::function<void()>>;

}  // namespace

SessionEndSignals::SessionEndSignals(std::function<void()> onEnd) : onEnd_(std::move(onEnd)) {
  for (const int signal : {SIGTERM, SIGHUP, SIGINT})
    sources_.push_back(g_unix_signal_add(signal, &OnSignal, this));
}

SessionEndSignals::~SessionEndSignals() {
  for (const unsigned source : sources_) g_source_remove(source);
}

int SessionEndSignals::OnSignal(void* self) {
  static_cast<SessionEndSignals*>(self)->onEnd_();
  return G_SOURCE_CONTINUE;
}

void RunOutsideModalLoops(std::function<void()> action) {
  for (wxWindow* window : wxTopLevelWindows) {
    auto* dialog = wxDynamicCast(window, wxDialog);
    if (dialog != nullptr && dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
  }
  const wxEventLoopBase* loop = wxEventLoopBase::GetActive();
  if (loop == nullptr || loop->IsMain()) {
    action();
    // A signal is no toolkit event: without this, what the action left to idle time (the
    // destruction of a closed window, say) would wait for the next one.
    wxWakeUpIdle();
  } else {
    // A modal loop that cannot be cancelled (a message box over the dialog) ends with the user's
    // answer: look again now and then rather than spin until it does.
    g_timeout_add_full(
        G_PRIORITY_DEFAULT, kModalRetryMs,
        +[](gpointer data) {
          RunOutsideModalLoops(ActionPayload::Of(data));
          return G_SOURCE_REMOVE;
        },
        ActionPayload::Hand(std::make_unique<std::function<void()>>(std::move(action))),
        &ActionPayload::Free);
  }
}

}  // namespace bolta

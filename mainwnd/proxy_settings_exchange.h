#pragma once
// The proxy dialog's data exchange, apart from the toolkit: what the controls show when the dialog
// opens, and what the members take from them on OK.
#include <optional>
#include <string>

#include "mainwnd/proxy_settings_flow.h"

namespace bolta {

// The controls' contents: the edits' texts in UTF-8, as the toolkit holds them, and the box.
struct ProxySettingsControls {
  std::string address;
  std::string port;
  bool useProxy = false;
};

// Into the dialog, when it opens. A flag outside 0 to 2 is first set to 0 in `data`; a 2 (the
// third state of a three-state box) shows ticked, as it means "use the proxy" to the retrieval.
ProxySettingsControls ExchangeIntoDialog(ProxySettingsData& data);

// Why an edit's text cannot be stored as typed.
enum class TextProblem {
  kNoCp932Form,  // a character that code page 932 lacks
  kLineBreak,    // it would break the settings file's lines
  kTooLong,      // the settings file would give it back cut
};

struct ExchangeFailure {
  int controlId = 0;  // IDC_PROXY_ADDRESS or IDC_PROXY_PORT, the first that fails
  TextProblem problem = TextProblem::kNoCp932Form;
};

// Out of the dialog, on OK: each member takes its edit's whole text in code page 932 (an edit
// left as it was opened keeps the member's bytes) and the flag takes the box's state, 0 or 1.
// When a text cannot be stored as typed nothing changes and the failure says which and why.
std::optional<ExchangeFailure> ExchangeOutOfDialog(const ProxySettingsControls& controls,
                                                   ProxySettingsData& data);

}  // namespace bolta

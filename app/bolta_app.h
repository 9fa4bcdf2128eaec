#pragma once
// The application: brings up the document, the frame and the view in the order the logic relies
// on (the frame's creation work before the view's initial update, the whole retrieval before the
// window is first shown) and lets them down (the frame's destroy handling before exit code 0).
#include <wx/app.h>

#include <memory>
#include <optional>
#include <string>

#include "app/settings_path.h"

namespace bolta {

class EarlyInternet;
class SessionEndSignals;
struct ProxySetting;

class CBoltaApp final : public wxApp {
 public:
  // Where the tool stands: starting, shown, closing and the like (bolta_app.cpp).
  enum class Stage;

  // `address`: the first command-line argument as it was received, none without one; the
  // toolkit never sees it.
  explicit CBoltaApp(std::optional<std::string> address);
  ~CBoltaApp() override;

  bool OnInit() override { return InitInstance(); }
  int OnRun() override;
  int OnExit() override;
  void OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond,
                       const wxChar* msg) override;

  // When the window cannot be created the user is told and the process ends with a non-zero code.
  bool InitInstance();

 private:
  struct Session;

  void OnSessionEnd();
  void StartEarlyRetrieval(const ProxySetting& proxy);

  std::optional<std::string> address_;
  // Chosen once per start: beside the executable, or the user's own when they may not write there.
  SettingsLocation settingsLocation_;
  Stage stage_;
  std::unique_ptr<SessionEndSignals> signals_;
  // SETTING.TXT on its way while the toolkit starts; none without an address.
  std::unique_ptr<EarlyInternet> early_;
  std::unique_ptr<Session> session_;
};

}  // namespace bolta

#pragma once
// The application: brings up the document, the frame and the view in the order the logic relies
// on (the frame's creation work before the view's initial update, the whole retrieval before the
// window is first shown) and lets them down (the frame's destroy handling before exit code 0).
#include <wx/app.h>

#include <memory>
#include <optional>
#include <string>

namespace bolta {

class CBoltaApp final : public wxApp {
 public:
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

  std::optional<std::string> address_;
  std::unique_ptr<Session> session_;
};

}  // namespace bolta

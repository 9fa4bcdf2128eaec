#pragma once
// The one document: it only carries the window title, which the frame's caption shows.
#include <functional>
#include <string>

namespace bolta {

class CBoltaDoc {
 public:
  CBoltaDoc();  // titled "無題", as every new document

  const std::string& GetTitle() const { return title_; }
  // The frame's caption follows at once.
  void SetTitle(std::string title);

  // What shows the title (the frame's caption update); none by default.
  void SetTitleChanged(std::function<void()> titleChanged) {
    titleChanged_ = std::move(titleChanged);
  }

 private:
  std::string title_;
  std::function<void()> titleChanged_;
};

}  // namespace bolta

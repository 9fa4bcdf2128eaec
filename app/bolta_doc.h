#pragma once
// The one document: it only carries the window title, which the frame's caption shows.
#include <string>

namespace bolta {

class CMainFrame;

class CBoltaDoc {
 public:
  CBoltaDoc();  // titled "無題", as every new document

  const std::string& GetTitle() const { return title_; }
  // The frame's caption follows at once.
  void SetTitle(std::string title);

  // The frame whose caption shows this title; null for none.
  void SetFrame(CMainFrame* frame) { frame_ = frame; }

 private:
  std::string title_;
  CMainFrame* frame_ = nullptr;
};

}  // namespace bolta

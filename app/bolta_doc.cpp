#include "app/bolta_doc.h"

#include "mainwnd/main_frame.h"
#include "res/texts.h"

namespace bolta {

CBoltaDoc::CBoltaDoc() : title_(text::kUntitledDocument) {}

void CBoltaDoc::SetTitle(std::string title) {
  title_ = std::move(title);
  if (frame_ != nullptr) frame_->OnUpdateFrameTitle(true);
}

}  // namespace bolta

#include "app/bolta_doc.h"

#include "res/texts.h"

namespace bolta {

CBoltaDoc::CBoltaDoc() : title_(text::kUntitledDocument) {}

void CBoltaDoc::SetTitle(std::string title) {
  title_ = std::move(title);
  if (titleChanged_) titleChanged_();
}

}  // namespace bolta

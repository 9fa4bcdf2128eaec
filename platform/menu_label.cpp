#include "platform/menu_label.h"

namespace bolta {

std::string GtkMnemonicLabel(std::string_view utf8) {
  std::string label;
  label.reserve(utf8.size() + 2);
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (c == '_') {
      label += "__";
    } else if (c != '&') {
      label += c;
    } else if (i + 1 < utf8.size() && utf8[i + 1] == '&') {
      label += '&';
      ++i;
    } else if (i + 1 < utf8.size()) {
      label += '_';
    }
  }
  return label;
}

}  // namespace bolta

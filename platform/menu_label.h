#pragma once
// Menu texts mark their mnemonic with "&" ("&&" for a literal one); GTK marks it with "_".
#include <string>
#include <string_view>

namespace bolta {

// `utf8` rewritten for GTK: "&x" becomes "_x", "&&" becomes "&", a literal "_" becomes "__".
// Works on UTF-8, where "&" and "_" never occur inside a multibyte character.
std::string GtkMnemonicLabel(std::string_view utf8);

}  // namespace bolta

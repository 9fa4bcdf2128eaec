#include "mainwnd/menu_label.h"

#include <gtest/gtest.h>

namespace bolta {
namespace {

TEST(MenuLabel, mnemonic_marks_become_gtk_ones) {
  struct Row {
    const char* name;
    const char* text;
    const char* label;
  };
  const Row rows[] = {
      {"Japanese entry", "画面中央へ移動(&R)", "画面中央へ移動(_R)"},
      {"no mnemonic", "透明度", "透明度"},
      {"literal ampersand", "A&&B", "A&B"},
      {"literal underscore", "SETTING_TXT(&S)", "SETTING__TXT(_S)"},
      {"dangling mark", "end&", "end"},
  };
  for (const Row& row : rows) EXPECT_EQ(GtkMnemonicLabel(row.text), row.label) << row.name;
}

}  // namespace
}  // namespace bolta

#include "platform/menu_label.h"

#include <gtest/gtest.h>

namespace bolta {
namespace {

TEST(MenuLabel, ampersand_marks_become_underscores_and_literal_ones_stay) {
  EXPECT_EQ(GtkMnemonicLabel("A&&B_C(&S)"), "A&B__C(_S)");
  EXPECT_EQ(GtkMnemonicLabel("移動(&M)"), "移動(_M)");
  EXPECT_EQ(GtkMnemonicLabel("end&"), "end");
}

}  // namespace
}  // namespace bolta

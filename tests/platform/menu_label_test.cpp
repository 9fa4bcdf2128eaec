#include "platform/menu_label.h"

#include <gtest/gtest.h>

namespace bolta {
namespace {

TEST(MenuLabel, ampersand_marks_become_underscores_and_literal_ones_stay) {
  EXPECT_EQ(GtkMnemonicLabel("移動(&M) A&&B_C"), "移動(_M) A&B__C");
}

}  // namespace
}  // namespace bolta

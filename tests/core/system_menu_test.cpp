#include "mainwnd/system_menu.h"

#include <gtest/gtest.h>

#include "res/resource.h"

namespace bolta {
namespace {

std::vector<MenuMark> StepMarks(const Menu& menu) {
  std::vector<MenuMark> marks;
  for (const MenuItem& item : menu.items()) marks.push_back(item.mark);
  return marks;
}

TEST(SystemMenu, radio_mark_moves_within_the_range_and_an_id_outside_it_marks_none) {
  Menu steps = LoadTransparencyMenu();
  ASSERT_TRUE(steps.CheckMenuRadioItem(IDM_ALPHA_FIRST, IDM_ALPHA_LAST, 208));
  ASSERT_TRUE(steps.CheckMenuRadioItem(IDM_ALPHA_FIRST, IDM_ALPHA_LAST, 256));
  std::vector<MenuMark> onlyFifty(10, MenuMark::None);
  onlyFifty[5] = MenuMark::Radio;
  EXPECT_EQ(StepMarks(steps), onlyFifty);

  steps.CheckMenuRadioItem(IDM_ALPHA_FIRST, IDM_ALPHA_LAST, IDM_ALPHA_LAST + 16);
  EXPECT_EQ(StepMarks(steps), std::vector<MenuMark>(10, MenuMark::None));
}

TEST(SystemMenu, marks_reach_entries_inside_a_popup) {
  Menu menu = GetSystemMenu();
  ASSERT_TRUE(menu.InsertPopup(2, "popup", LoadTransparencyMenu()));
  EXPECT_TRUE(menu.CheckMenuRadioItem(IDM_ALPHA_FIRST, IDM_ALPHA_LAST, 320));
  EXPECT_TRUE(menu.IsChecked(320));
  EXPECT_FALSE(menu.IsChecked(304));

  EXPECT_TRUE(menu.CheckMenuItem(SC_CLOSE, true));
  EXPECT_TRUE(menu.IsChecked(SC_CLOSE));
  EXPECT_TRUE(menu.CheckMenuItem(SC_CLOSE, false));
  EXPECT_FALSE(menu.IsChecked(SC_CLOSE));
  EXPECT_FALSE(menu.CheckMenuItem(IDM_TOPMOST, true));
}

}  // namespace
}  // namespace bolta

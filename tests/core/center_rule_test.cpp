#include "mainwnd/center_rule.h"

#include <gtest/gtest.h>

namespace bolta {
namespace {

TEST(CenterRule, centres_on_the_reference_and_keeps_the_window_in_the_area) {
  const Rect screen{0, 0, 1024, 768};
  const struct {
    const char* name;
    Size size;
    Rect reference;
    Rect area;
    Rect placed;
  } rows[] = {
      {"centred on the reference", {100, 50}, {100, 100, 500, 400}, screen, {250, 225, 350, 275}},
      {"odd sizes halve toward zero", {101, 51}, {0, 0, 401, 301}, screen, {150, 125, 251, 176}},
      {"pushed right of the area's left",
       {200, 100},
       {-50, 300, 50, 400},
       screen,
       {0, 300, 200, 400}},
      {"pushed left of the area's right",
       {200, 100},
       {1000, 300, 1100, 400},
       screen,
       {824, 300, 1024, 400}},
      {"pushed below the area's top", {100, 200}, {400, -40, 500, 0}, screen, {400, 0, 500, 200}},
      {"pushed above the area's bottom (a taskbar below)",
       {100, 200},
       {400, 700, 500, 740},
       {0, 0, 1024, 728},
       {400, 528, 500, 728}},
      {"larger than the area: left and top win",
       {2000, 1000},
       {0, 0, 1024, 768},
       screen,
       {0, 0, 2000, 1000}},
      {"a reference on no display comes back into the area",
       {100, 10},
       {9999, 9999, 10099, 10009},
       screen,
       {924, 758, 1024, 768}},
      {"a display left of the primary, negative halves toward zero",
       {101, 100},
       {-1001, 0, -200, 600},
       {-1280, 0, 0, 1024},
       {-650, 250, -549, 350}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CenterRect(row.size, row.reference, row.area), row.placed);
  }
}

}  // namespace
}  // namespace bolta

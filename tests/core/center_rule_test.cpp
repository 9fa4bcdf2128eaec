#include "mainwnd/center_rule.h"

#include <gtest/gtest.h>

namespace bolta {
namespace {

TEST(CenterRule, centres_on_the_reference_then_keeps_the_window_in_the_area) {
  const Rect screen{0, 0, 1024, 768}, taskbar{0, 0, 1024, 728};
  const struct {
    const char* name;
    Size size;
    Rect reference, area, placed;
  } rows[] = {
      {"centred", {100, 50}, {100, 100, 500, 400}, screen, {250, 225, 350, 275}},
      {"odd halves toward zero", {101, 51}, {0, 0, 401, 301}, screen, {150, 125, 251, 176}},
      {"off the top left", {200, 100}, {-50, -40, 50, 0}, screen, {0, 0, 200, 100}},
      {"kept above a taskbar", {200, 150}, {900, 700, 1000, 740}, taskbar, {824, 578, 1024, 728}},
      {"larger: left and top win", {2000, 1000}, screen, screen, {0, 0, 2000, 1000}},
      {"negative", {101, 100}, {-1001, 0, -200, 600}, {-1280, 0, 0, 1024}, {-650, 250, -549, 350}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(CenterRect(row.size, row.reference, row.area), row.placed) << row.name;
  }
}

}  // namespace
}  // namespace bolta

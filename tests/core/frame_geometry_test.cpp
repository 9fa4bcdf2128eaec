#include "mainwnd/frame_geometry.h"

#include <gtest/gtest.h>

namespace bolta {
namespace {

constexpr FrameExtents kOpenbox{1, 1, 20, 1};

TEST(FrameGeometry, extents_follow_the_window_manager_except_for_a_stale_clear) {
  struct Row {
    const char* name;
    FrameExtents known;
    std::optional<FrameExtents> read;
    FrameExtents result;
  };
  const Row rows[] = {
      {"first answer", {}, kOpenbox, kOpenbox},
      {"decorations changed", kOpenbox, FrameExtents{4, 4, 24, 4}, {4, 4, 24, 4}},
      {"none set", kOpenbox, std::nullopt, kOpenbox},
      {"cleared on unmap", kOpenbox, FrameExtents{}, kOpenbox},
      {"no decorations at all", {}, FrameExtents{}, {}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(UpdatedExtents(row.known, row.read), row.result) << row.name;
  }
}

TEST(FrameGeometry, client_size_leaves_the_decoration_room_and_never_drops_below_one_pixel) {
  struct Row {
    const char* name;
    int32_t width, height;
    FrameExtents extents;
    Size client;
  };
  const Row rows[] = {
      {"ordinary frame", 212, 94, kOpenbox, {210, 73}},
      {"no window manager", 212, 94, {}, {212, 94}},
      {"parked, shorter than the caption", 100, 10, kOpenbox, {98, 1}},
      {"restored with height 0", 200, 0, kOpenbox, {198, 1}},
      {"nothing at all", 0, 0, {}, {1, 1}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ClientSizeForOuter(row.width, row.height, row.extents), row.client) << row.name;
  }
}

TEST(FrameGeometry, outer_rect_of_a_clamped_client_keeps_the_real_decoration_room) {
  // The view's fit measures outer minus client: it must be the decorations, even when parked.
  const Size client = ClientSizeForOuter(100, 10, kOpenbox);
  const Rect outer = OuterRect(10099, 10099, client, kOpenbox);
  EXPECT_EQ(outer, (Rect{10099, 10099, 10199, 10121}));
  EXPECT_EQ(outer.Width() - client.cx, 2);
  EXPECT_EQ(outer.Height() - client.cy, 21);
}

TEST(FrameGeometry, a_rect_far_off_every_display_is_parked) {
  const std::vector<Rect> displays{{0, 0, 1024, 768}, {1024, 0, 2944, 1080}};
  struct Row {
    const char* name;
    Rect rect;
    bool parked;
  };
  const Row rows[] = {
      {"on the first display", {100, 100, 312, 194}, false},
      {"on the second display", {2000, 500, 2212, 594}, false},
      {"straddling the edge between them", {1000, 10, 1100, 50}, false},
      {"partly off the left edge", {-50, 10, 50, 50}, false},
      {"moved by +9999", {10099, 10099, 10199, 10121}, true},
      {"below the first display, beside the taller second", {100, 800, 300, 900}, true},
      {"touching the right edge only", {2944, 0, 3000, 10}, true},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(LiesOnNoDisplay(row.rect, displays), row.parked) << row.name;
  }
  EXPECT_TRUE(LiesOnNoDisplay({0, 0, 10, 10}, {})) << "no display at all";
}

TEST(FrameGeometry, the_display_holding_a_rect_is_the_one_sharing_most_of_it) {
  const std::vector<Rect> displays{{0, 0, 1024, 768}, {1024, 0, 2944, 1080}};
  EXPECT_EQ(DisplayHolding({100, 100, 300, 200}, displays, 0), 0u);
  EXPECT_EQ(DisplayHolding({1000, 100, 1200, 200}, displays, 0), 1u) << "mostly on the second";
  EXPECT_EQ(DisplayHolding({900, 100, 1100, 200}, displays, 1), 0u) << "mostly on the first";
  EXPECT_EQ(DisplayHolding({10099, 10099, 10199, 10121}, displays, 1), 1u)
      << "on none: the primary";
}

}  // namespace
}  // namespace bolta

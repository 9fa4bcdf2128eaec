#include "platform/frame_geometry.h"

#include <gtest/gtest.h>

namespace bolta {
namespace {

constexpr FrameExtents kOpenbox{1, 1, 21, 4};

TEST(FrameGeometry, extents_cleared_while_unmapped_keep_the_known_room) {
  EXPECT_EQ(UpdatedExtents({}, kOpenbox), kOpenbox) << "first reading";
  EXPECT_EQ(UpdatedExtents(kOpenbox, FrameExtents{}), kOpenbox) << "cleared on unmap";
  EXPECT_EQ(UpdatedExtents(kOpenbox, std::nullopt), kOpenbox) << "none set";
  EXPECT_EQ(UpdatedExtents(kOpenbox, FrameExtents{2, 2, 30, 2}), (FrameExtents{2, 2, 30, 2}))
      << "a new theme";
  EXPECT_EQ(UpdatedExtents({}, FrameExtents{}), FrameExtents{}) << "an undecorated frame";
}

TEST(FrameGeometry, outer_and_client_sizes_differ_by_the_room_and_a_client_is_never_empty) {
  EXPECT_EQ(ClientSizeForOuter(304, 101, kOpenbox), (Size{302, 76}));
  EXPECT_EQ(OuterRect(10, 20, {302, 76}, kOpenbox), (Rect{10, 20, 314, 121}));
  EXPECT_EQ(ClientSizeForOuter(200, 0, kOpenbox), (Size{198, 1})) << "created with no height";
  EXPECT_EQ(ClientSizeForOuter(1, 1, kOpenbox), (Size{1, 1}));
  EXPECT_EQ(InToolkitPixels(kOpenbox, 1), kOpenbox);
  EXPECT_EQ(InToolkitPixels({5, 5, 29, 5}, 2), (FrameExtents{3, 3, 15, 3})) << "part pixels";
}

TEST(FrameGeometry, a_rect_belongs_to_the_display_sharing_most_and_a_parked_one_to_none) {
  const std::vector<Rect> displays = {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
  EXPECT_FALSE(LiesOnNoDisplay({1900, 10, 2100, 90}, displays));
  EXPECT_TRUE(LiesOnNoDisplay({10099, 10049, 10199, 10059}, displays)) << "parked";
  EXPECT_TRUE(LiesOnNoDisplay({1920, 1080, 2000, 1100}, displays)) << "touching a corner only";
  EXPECT_EQ(DisplayHolding({1900, 10, 2100, 90}, displays, 0), 1u) << "more on the second";
  EXPECT_EQ(DisplayHolding({1800, 10, 2000, 90}, displays, 1), 0u) << "more on the first";
  EXPECT_EQ(DisplayHolding({10099, 10049, 10199, 10059}, displays, 1), 1u) << "none: primary";
}

}  // namespace
}  // namespace bolta

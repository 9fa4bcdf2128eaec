#include "platform/frame_place.h"

#include <gtest/gtest.h>

namespace bolta {
namespace {

constexpr FrameExtents kRoom{1, 1, 21, 4};
constexpr FramePlace::Microseconds kSettled = FramePlace::kMoveSettles;

class FramePlaceTest : public testing::Test {
 protected:
  FramePlaceTest() {
    place.TakeExtents(kRoom);
    place.Ask(100, 50, 304, 101);
  }
  FramePlace place;
};

TEST_F(FramePlaceTest, reports_before_our_move_has_come_back_are_echoes_later_ones_the_users) {
  place.MoveSent(0);
  place.Observed({500, 500}, kSettled - 1);
  EXPECT_EQ(place.Outer(), (Rect{100, 50, 404, 151})) << "an echo of an older request";
  place.Configured({101, 71});
  place.Observed({301, 271}, 10);
  EXPECT_EQ(place.Outer(), (Rect{300, 250, 604, 351})) << "our move came back: the user's drag";
  place.MoveSent(20);
  place.Observed({701, 71}, 20 + kSettled);
  EXPECT_EQ(place.Outer().left, 700) << "no answer within the settling time";
}

TEST_F(FramePlaceTest, a_park_holds_moves_and_ends_where_the_user_last_saw_or_put_the_frame) {
  EXPECT_FALSE(place.Unpark(std::nullopt, {})) << "never placed: the window manager places it";
  place.MoveSent(0);
  const struct {
    const char* name;
    std::optional<ScreenPoint> shownAt;
    ScreenPoint now;
    bool move;
    int32_t left;
  } rows[] = {
      {"hidden through the park: moved to the asked place", std::nullopt, {0, 0}, true, 100},
      {"shown and still where asked: left alone", ScreenPoint{101, 71}, {101, 71}, false, 100},
      {"dragged while parked: stays where put", ScreenPoint{101, 71}, {401, 71}, false, 400},
      {"shown elsewhere, not dragged: moved back", ScreenPoint{201, 71}, {201, 71}, true, 100},
  };
  for (const auto& row : rows) {
    place.Ask(100, 50, 304, 101);
    place.Park();
    place.Observed({901, 901}, 10 * kSettled);
    place.Configured({101, 71});
    EXPECT_EQ(place.Outer().left, 100) << row.name << ": parked, the X server is not heard";
    EXPECT_EQ(place.Unpark(row.shownAt, row.now), row.move) << row.name;
    EXPECT_EQ(place.Outer().left, row.left) << row.name;
  }
}

}  // namespace
}  // namespace bolta

#pragma once
// The frame's place and size as the logic sees them, kept free of the window system: what the
// logic last asked for, the X server's reports taken in once they are no echo of an older request,
// and the view's park, through which moves are held back.
#include <cstdint>
#include <optional>

#include "platform/frame_geometry.h"
#include "res/geometry.h"

namespace bolta {

// Where a client area's top-left corner is on the screen.
struct ScreenPoint {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

class FramePlace {
 public:
  using Microseconds = int64_t;
  // How long a move may take to come back from the X server and the window manager before the
  // frame's reported place counts as the user's (or the window manager's) doing.
  static constexpr Microseconds kMoveSettles = 1000 * 1000;

  Rect Outer() const { return OuterRect(x_, y_, client_, extents_); }
  Size client() const { return client_; }
  const FrameExtents& extents() const { return extents_; }
  // Where the client's top-left corner goes once the frame is where it was asked to be.
  ScreenPoint AskedClientOrigin() const { return {x_ + extents_.left, y_ + extents_.top}; }
  // False until a move or the window manager has placed the frame.
  bool placed() const { return placed_; }
  bool parked() const { return parked_; }

  // The decoration room as the window manager has just given it (nothing: none set).
  void TakeExtents(const std::optional<FrameExtents>& read);
  // The outer rectangle the logic asks for; whether it reaches the screen now is the caller's
  // choice (not while parked).
  void Ask(int32_t x, int32_t y, int32_t width, int32_t height);
  // The asked place has been sent to the X server at `now`.
  void MoveSent(Microseconds now);
  // The X server configured the client at `origin`: when that is where we asked, the move has
  // come back and later reports are nobody's echo.
  void Configured(ScreenPoint origin);
  // The X server has the mapped client at `origin` at `now`: taken as the frame's place, unless a
  // move of ours is still on its way or the frame is parked.
  void Observed(ScreenPoint origin, Microseconds now);

  void Park() { parked_ = true; }
  // Ends the park with the client at `now`. `shownAt`: where the client was when the park began,
  // for a frame the user saw throughout; a frame dragged since comes back where the user put it.
  // True when the frame must be moved to the asked place.
  bool Unpark(std::optional<ScreenPoint> shownAt, ScreenPoint now);

 private:
  FrameExtents extents_;
  int32_t x_ = 0;  // the outer top-left corner
  int32_t y_ = 0;
  Size client_{1, 1};
  bool placed_ = false;
  bool parked_ = false;
  Microseconds moveSettlesAt_ = 0;  // until then, reports are echoes of older requests
};

}  // namespace bolta

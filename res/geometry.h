#pragma once
// Rectangles and sizes in pixels, as the frame, the view and the window layer exchange them.
#include <cstdint>

namespace bolta {

// Signed 32-bit pixels. Screen coordinates for outer rectangles, client coordinates (origin 0, 0)
// for the view's client rectangle. right and bottom are exclusive.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

}  // namespace bolta

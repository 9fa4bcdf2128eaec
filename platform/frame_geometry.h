#pragma once
// Frame arithmetic of the platform layer, kept free of the window system so that it is tested
// without a display: outer rectangles from client sizes and decoration room, and which display
// holds a rectangle.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "res/geometry.h"

namespace bolta {

// The room the window manager's decorations take on each side of the client area.
struct FrameExtents {
  int32_t left = 0;
  int32_t right = 0;
  int32_t top = 0;
  int32_t bottom = 0;
  friend bool operator==(const FrameExtents&, const FrameExtents&) = default;
};

// The extents to go on with, given those known so far and those just read from the window
// manager (nothing when it has set none). Some window managers clear the extents when they unmap
// a frame; such a clear must not take the decoration room away from a fit.
FrameExtents UpdatedExtents(const FrameExtents& known, const std::optional<FrameExtents>& read);

// Extents the window manager gives in device pixels, in the toolkit's pixels at window `scale`.
// A part pixel counts as a whole one: the decorations never get less room than they take.
FrameExtents InToolkitPixels(const FrameExtents& device, int32_t scale);

// The client size that gives an outer size of width x height. The platform refuses a client
// smaller than 1 x 1, so a request smaller than the decorations gets the smallest client.
Size ClientSizeForOuter(int32_t width, int32_t height, const FrameExtents& extents);

// The outer rectangle of a client of `client` size whose frame's top-left corner is (x, y).
Rect OuterRect(int32_t x, int32_t y, Size client, const FrameExtents& extents);

// True when `rect` shares no pixel with any of `displays`: a parked frame.
bool LiesOnNoDisplay(const Rect& rect, const std::vector<Rect>& displays);

// The display sharing the most pixels with `rect`, or `primary` when it shares none.
std::size_t DisplayHolding(const Rect& rect, const std::vector<Rect>& displays,
                           std::size_t primary);

}  // namespace bolta

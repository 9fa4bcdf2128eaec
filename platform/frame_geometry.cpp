#include "platform/frame_geometry.h"

#include <algorithm>

namespace bolta {
namespace {

int64_t SharedArea(const Rect& a, const Rect& b) {
  const int64_t width = static_cast<int64_t>(std::min(a.right, b.right)) - std::max(a.left, b.left);
  const int64_t height =
      static_cast<int64_t>(std::min(a.bottom, b.bottom)) - std::max(a.top, b.top);
  return width > 0 && height > 0 ? width * height : 0;
}

}  // namespace

FrameExtents UpdatedExtents(const FrameExtents& known, const std::optional<FrameExtents>& read) {
  if (!read || (*read == FrameExtents{} && known != FrameExtents{})) return known;
  return *read;
}

FrameExtents InToolkitPixels(const FrameExtents& device, int32_t scale) {
  if (scale <= 1) return device;
  const auto up = [scale](int32_t side) { return (side + scale - 1) / scale; };
  return {up(device.left), up(device.right), up(device.top), up(device.bottom)};
}

Size ClientSizeForOuter(int32_t width, int32_t height, const FrameExtents& extents) {
  return {std::max<int32_t>(1, width - extents.left - extents.right),
          std::max<int32_t>(1, height - extents.top - extents.bottom)};
}

Rect OuterRect(int32_t x, int32_t y, Size client, const FrameExtents& extents) {
  return {x, y, x + extents.left + client.cx + extents.right,
          y + extents.top + client.cy + extents.bottom};
}

bool LiesOnNoDisplay(const Rect& rect, const std::vector<Rect>& displays) {
  return std::none_of(displays.begin(), displays.end(),
                      [&](const Rect& display) { return SharedArea(rect, display) > 0; });
}

std::size_t DisplayHolding(const Rect& rect, const std::vector<Rect>& displays,
                           std::size_t primary) {
  std::size_t best = primary;
  int64_t bestArea = 0;
  for (std::size_t i = 0; i < displays.size(); ++i) {
    const int64_t area = SharedArea(rect, displays[i]);
    if (area > bestArea) {
      best = i;
      bestArea = area;
    }
  }
  return best;
}

}  // namespace bolta

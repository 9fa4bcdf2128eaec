#include "mainwnd/center_rule.h"

namespace bolta {

Rect CenterRect(Size size, const Rect& reference, const Rect& area) {
  int32_t left = (reference.left + reference.right) / 2 - size.cx / 2;
  int32_t top = (reference.top + reference.bottom) / 2 - size.cy / 2;
  if (left < area.left) {
    left = area.left;
  } else if (left + size.cx > area.right) {
    left = area.right - size.cx;
  }
  if (top < area.top) {
    top = area.top;
  } else if (top + size.cy > area.bottom) {
    top = area.bottom - size.cy;
  }
  return {left, top, left + size.cx, top + size.cy};
}

}  // namespace bolta

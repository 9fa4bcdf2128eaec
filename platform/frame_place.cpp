#include "platform/frame_place.h"

namespace bolta {

void FramePlace::TakeExtents(const std::optional<FrameExtents>& read) {
  extents_ = UpdatedExtents(extents_, read);
}

void FramePlace::Ask(int32_t x, int32_t y, int32_t width, int32_t height) {
  client_ = ClientSizeForOuter(width, height, extents_);
  x_ = x;
  y_ = y;
}

void FramePlace::MoveSent(Microseconds now) {
  placed_ = true;
  moveSettlesAt_ = now + kMoveSettles;
}

void FramePlace::Configured(ScreenPoint origin) {
  if (!parked_ && origin == AskedClientOrigin()) moveSettlesAt_ = 0;
}

void FramePlace::Observed(ScreenPoint origin, Microseconds now) {
  if (parked_ || now < moveSettlesAt_) return;
  x_ = origin.x - extents_.left;
  y_ = origin.y - extents_.top;
  placed_ = true;
}

bool FramePlace::Unpark(std::optional<ScreenPoint> shownAt, ScreenPoint now) {
  parked_ = false;
  if (shownAt && now != *shownAt) {
    x_ = now.x - extents_.left;
    y_ = now.y - extents_.top;
  }
  // A frame shown all along and still where it is to be is left alone: its place in device
  // pixels need not fall on a whole pixel of a scaled toolkit, and moving it there would shift it.
  const bool stays = shownAt && now == AskedClientOrigin();
  // A frame never placed comes up where the window manager puts a new window.
  return placed_ && !stays;
}

}  // namespace bolta

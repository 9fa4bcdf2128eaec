#pragma once
// The centre rule shared by the frame's centre command and the proxy dialog's placement.
#include "res/geometry.h"

namespace bolta {

// The rectangle of a window of `size` centred on `reference` (integer halves), then moved back
// into `area`: left and top win over right and bottom when the window is larger than the area.
Rect CenterRect(Size size, const Rect& reference, const Rect& area);

}  // namespace bolta

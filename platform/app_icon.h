#pragma once
// The tool's own icon, a signboard on a post, compiled in at 16 and 32 pixels.
#include <cstddef>
#include <span>

typedef struct _GdkPixbuf GdkPixbuf;
class wxIconBundle;

namespace bolta {

// The PNG bytes of the icon `pixels` wide (16 or 32; any other size gives the 32-pixel one).
std::span<const unsigned char> AppIconPng(int pixels);

// A new reference to the icon as a GdkPixbuf, or null when it cannot be decoded.
GdkPixbuf* AppIconPixbuf(int pixels);

// Both sizes, for the frame.
wxIconBundle AppIconBundle();

}  // namespace bolta

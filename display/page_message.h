#pragma once
// Input on the page, in the codes of the Windows messages it stands for, offered to
// CBoltaView::PreTranslateMessage before the page sees it.
#include <cstdint>

namespace bolta {

inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_KEYUP = 0x0101;
inline constexpr uint32_t WM_SYSKEYDOWN = 0x0104;  // a key pressed with Alt held
inline constexpr uint32_t WM_SYSKEYUP = 0x0105;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr uint32_t WM_MBUTTONUP = 0x0208;

inline constexpr uint32_t VK_F5 = 0x74;

struct Msg {
  uint32_t message = 0;
  uintptr_t wParam = 0;  // the virtual-key code of a key message
};

}  // namespace bolta

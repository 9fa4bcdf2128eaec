#pragma once
// Resource and command identifiers. System-command identifiers are multiples of 16:
// the low four bits of a system command belong to the window system.

namespace bolta {

inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDD_PROXY_SETTINGS = 133;

inline constexpr int IDM_TOPMOST = 160;
inline constexpr int IDM_ALPHA_FIRST = 176;  // step n is IDM_ALPHA_FIRST + kAlphaIdStep * n
inline constexpr int IDM_ALPHA_LAST = 320;
inline constexpr int IDM_PROXY_SETTINGS = 336;
inline constexpr int IDM_CENTER_WINDOW = 352;

inline constexpr int kAlphaIdStep = 16;
inline constexpr int kTransparencySteps = 10;  // n = 0 .. 9

// The window system keeps the low four bits of a system command for itself.
inline constexpr int kSysCommandMask = 0xFFF0;

// The window system's own entries of the system menu.
inline constexpr int SC_SIZE = 0xF000;
inline constexpr int SC_MOVE = 0xF010;
inline constexpr int SC_MINIMIZE = 0xF020;
inline constexpr int SC_MAXIMIZE = 0xF030;
inline constexpr int SC_CLOSE = 0xF060;
inline constexpr int SC_RESTORE = 0xF120;

// Controls of the proxy settings dialog.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDC_USE_PROXY = 1000;
inline constexpr int IDC_PROXY_ADDRESS = 1001;
inline constexpr int IDC_PROXY_PORT = 1002;

}  // namespace bolta

#pragma once
// The settings file's section and its keys; each key's default is given where it is read.
#include <string_view>

namespace bolta::key {

inline constexpr std::string_view kSection = "BOLTA";

inline constexpr std::string_view kWindowLeft = "WINDOW_LEFT";
inline constexpr std::string_view kWindowTop = "WINDOW_TOP";
inline constexpr std::string_view kWindowRight = "WINDOW_RIGHT";
inline constexpr std::string_view kWindowBottom = "WINDOW_BOTTOM";
inline constexpr std::string_view kWindowTopmost = "WINDOW_TOPMOST";
inline constexpr std::string_view kTransparent = "TRANSPARENT";
inline constexpr std::string_view kProxyAddress = "PROXY_ADDRESS";
inline constexpr std::string_view kProxyPort = "PROXY_PORT";
inline constexpr std::string_view kUseProxy = "USE_PROXY";

}  // namespace bolta::key

#pragma once
// The two in-memory pages the view shows, as "about:" addresses in code page 932.
#include <string>

namespace bolta {

std::string ComposeSignboardPage(const std::string& backgroundPictureUrl,
                                 const std::string& titlePictureUrl);
std::string ComposeMessagePage(const std::string& message);

}  // namespace bolta

#pragma once
// What a board's SETTING.TXT says about its signboard, read line by line.
#include <string>

#include "retrieval/board_address.h"

namespace bolta {

// Declared in the order in which the view holds them, after the BoardAddress fields.
struct SignboardInfo {
  std::string backgroundPictureUrl;
  std::string titlePictureUrl;
  std::string title;
};

// Applies one line of SETTING.TXT (CR already removed, no LF) to `info`.
void ApplySettingLine(const std::string& line, const BoardAddress& address, SignboardInfo& info);

// Makes a picture value that begins with "./" or "../" absolute on http://host/board/.
std::string ResolvePicturePath(const std::string& value, const BoardAddress& address);

// True when the title and both picture addresses are non-empty.
bool IsComplete(const SignboardInfo& info);

}  // namespace bolta

#pragma once
// The frame's system menu as data: GTK has no editable system menu, so the frame edits this model
// and the platform renders it as a popup, sending the chosen id to CMainFrame::OnSysCommand.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace bolta {

enum class MenuMark { None, Check, Radio };

struct MenuItem {
  enum class Kind { Command, Separator, Popup };

  Kind kind = Kind::Command;
  int32_t id = 0;    // commands only
  std::string text;  // code page 932; "&" marks the mnemonic that follows it
  MenuMark mark = MenuMark::None;
  std::vector<MenuItem> popup;  // the entries of a popup, in order
};

class Menu {
 public:
  Menu() = default;
  explicit Menu(std::vector<MenuItem> items) : items_(std::move(items)) {}

  const std::vector<MenuItem>& items() const { return items_; }

  // By position; each edit shifts the entries behind it. False when the position is out of range
  // (an insert may also append at the end).
  bool RemoveMenu(std::size_t position);
  bool InsertMenu(std::size_t position, int32_t id, std::string text);
  bool InsertSeparator(std::size_t position);
  bool InsertPopup(std::size_t position, std::string text, Menu popup);

  // By id, popups included. The entry `id` gets the radio mark and every other entry whose id lies
  // in first .. last loses its mark; an id outside the range marks none. False when no entry of
  // the range exists.
  bool CheckMenuRadioItem(int32_t first, int32_t last, int32_t id);
  // Sets or clears the check mark of entry `id`; false when there is none.
  bool CheckMenuItem(int32_t id, bool checked);
  // True when entry `id` carries a check or radio mark.
  bool IsChecked(int32_t id) const;

 private:
  std::vector<MenuItem> items_;
};

// The standard system menu of a captioned window: Restore, Move, Size, Minimize, Maximize,
// separator, Close.
Menu GetSystemMenu();

// The transparency popup: " 0%" .. "90%", ids IDM_ALPHA_FIRST + kAlphaIdStep * n.
Menu LoadTransparencyMenu();

}  // namespace bolta

#include "mainwnd/system_menu.h"

#include "res/resource.h"
#include "res/texts.h"

namespace bolta {
namespace {

MenuItem Command(int32_t id, std::string_view text) {
  MenuItem item;
  item.id = id;
  item.text = text;
  return item;
}

MenuItem Separator() {
  MenuItem item;
  item.kind = MenuItem::Kind::Separator;
  return item;
}

bool IsCommand(const MenuItem& item) { return item.kind == MenuItem::Kind::Command; }

template <typename Visit>
void ForEachCommand(std::vector<MenuItem>& items, const Visit& visit) {
  for (MenuItem& item : items) {
    if (item.kind == MenuItem::Kind::Popup) {
      ForEachCommand(item.popup, visit);
    } else if (IsCommand(item)) {
      visit(item);
    }
  }
}

const MenuItem* FindCommand(const std::vector<MenuItem>& items, int32_t id) {
  for (const MenuItem& item : items) {
    if (item.kind == MenuItem::Kind::Popup) {
      if (const MenuItem* found = FindCommand(item.popup, id)) return found;
    } else if (IsCommand(item) && item.id == id) {
      return &item;
    }
  }
  return nullptr;
}

}  // namespace

bool Menu::RemoveMenu(std::size_t position) {
  if (position >= items_.size()) return false;
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(position));
  return true;
}

bool Menu::InsertMenu(std::size_t position, int32_t id, std::string text) {
  if (position > items_.size()) return false;
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(position), Command(id, text));
  return true;
}

bool Menu::InsertSeparator(std::size_t position) {
  if (position > items_.size()) return false;
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(position), Separator());
  return true;
}

bool Menu::InsertPopup(std::size_t position, std::string text, Menu popup) {
  if (position > items_.size()) return false;
  MenuItem item;
  item.kind = MenuItem::Kind::Popup;
  item.text = std::move(text);
  item.popup = std::move(popup.items_);
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(position), std::move(item));
  return true;
}

bool Menu::CheckMenuRadioItem(int32_t first, int32_t last, int32_t id) {
  bool anyInRange = false;
  ForEachCommand(items_, [&](MenuItem& item) {
    if (item.id < first || item.id > last) return;
    anyInRange = true;
    item.mark = item.id == id ? MenuMark::Radio : MenuMark::None;
  });
  return anyInRange;
}

bool Menu::CheckMenuItem(int32_t id, bool checked) {
  bool found = false;
  ForEachCommand(items_, [&](MenuItem& item) {
    if (item.id != id) return;
    found = true;
    item.mark = checked ? MenuMark::Check : MenuMark::None;
  });
  return found;
}

bool Menu::IsChecked(int32_t id) const {
  const MenuItem* item = FindCommand(items_, id);
  return item != nullptr && item->mark != MenuMark::None;
}

Menu GetSystemMenu() {
  return Menu({Command(SC_RESTORE, text::kMenuRestore), Command(SC_MOVE, text::kMenuMove),
               Command(SC_SIZE, text::kMenuSize), Command(SC_MINIMIZE, text::kMenuMinimize),
               Command(SC_MAXIMIZE, text::kMenuMaximize), Separator(),
               Command(SC_CLOSE, text::kMenuClose)});
}

Menu LoadTransparencyMenu() {
  std::vector<MenuItem> steps;
  for (int32_t n = 0; n < kTransparencySteps; ++n) {
    steps.push_back(
        Command(IDM_ALPHA_FIRST + kAlphaIdStep * n, text::kAlphaLabels[static_cast<size_t>(n)]));
  }
  return Menu(std::move(steps));
}

}  // namespace bolta

#include "platform/gtk_system_menu.h"

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <utility>

#include "platform/glib_payload.h"
#include "platform/menu_label.h"
#include "res/encoding.h"

namespace bolta {
namespace {

using CommandSink = std::function<void(int32_t)>;

struct ChosenCommand {
  std::shared_ptr<CommandSink> sink;
  int32_t id;
};
using ChosenPayload = GlibPayload<ChosenCommand>;

struct EventDeleter {
  void operator()(GdkEvent* event) const { gdk_event_free(event); }
};

struct PendingPopup {
  GtkWidget* toplevel;
  GtkWidget* popup;
  std::unique_ptr<GdkEvent, EventDeleter> trigger;
};
using PendingPayload = GlibPayload<PendingPopup>;

GtkWidget* NewEntry(const MenuItem& item) {
  const std::string label = GtkMnemonicLabel(Cp932ToUtf8(item.text));
  if (item.mark == MenuMark::None) return gtk_menu_item_new_with_mnemonic(label.c_str());
  GtkWidget* entry = gtk_check_menu_item_new_with_mnemonic(label.c_str());
  gtk_check_menu_item_set_draw_as_radio(GTK_CHECK_MENU_ITEM(entry), item.mark == MenuMark::Radio);
  gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(entry), TRUE);
  return entry;
}

GtkWidget* BuildMenu(const std::vector<MenuItem>& items, const std::shared_ptr<CommandSink>& sink) {
  GtkWidget* menu = gtk_menu_new();
  for (const MenuItem& item : items) {
    GtkWidget* entry = nullptr;
    switch (item.kind) {
      case MenuItem::Kind::Separator:
        entry = gtk_separator_menu_item_new();
        break;
      case MenuItem::Kind::Popup:
        entry = gtk_menu_item_new_with_mnemonic(GtkMnemonicLabel(Cp932ToUtf8(item.text)).c_str());
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(entry), BuildMenu(item.popup, sink));
        break;
      case MenuItem::Kind::Command: {
        entry = NewEntry(item);
        g_signal_connect_data(
            entry, "activate", G_CALLBACK(+[](GtkMenuItem*, gpointer data) {
              // Run after the popup has gone, as a command posted to the frame would.
              g_idle_add_full(
                  G_PRIORITY_DEFAULT_IDLE,
                  +[](gpointer posted) -> gboolean {
                    const ChosenCommand& command = ChosenPayload::Of(posted);
                    (*command.sink)(command.id);
                    return G_SOURCE_REMOVE;
                  },
                  ChosenPayload::Hand(std::make_unique<ChosenCommand>(ChosenPayload::Of(data))),
                  &ChosenPayload::Free);
            }),
            ChosenPayload::Hand(std::make_unique<ChosenCommand>(ChosenCommand{sink, item.id})),
            &ChosenPayload::FreeClosure, GConnectFlags(0));
        break;
      }
    }
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), entry);
  }
  gtk_widget_show_all(menu);
  return menu;
}

}  // namespace

void PopupSystemMenu(GtkWidget* toplevel, const Menu& menu, const GdkEvent* trigger,
                     std::function<void(int32_t id)> onCommand) {
  auto sink = std::make_shared<CommandSink>(std::move(onCommand));
  GtkWidget* popup = BuildMenu(menu.items(), sink);
  gtk_menu_attach_to_widget(GTK_MENU(popup), toplevel, nullptr);
  // An entry's activation comes after the popup's deactivation: destroy it later.
  g_signal_connect(popup, "deactivate", G_CALLBACK(+[](GtkMenuShell* shell, gpointer) {
                     g_idle_add(
                         +[](gpointer widget) -> gboolean {
                           gtk_widget_destroy(GTK_WIDGET(widget));
                           return G_SOURCE_REMOVE;
                         },
                         shell);
                   }),
                   nullptr);

  // Pop up once the event that asked for the menu has been handled.
  auto pending = std::make_unique<PendingPopup>(PendingPopup{
      toplevel, popup,
      std::unique_ptr<GdkEvent, EventDeleter>(trigger != nullptr ? gdk_event_copy(trigger)
                                                                 : nullptr)});
  g_idle_add_full(
      G_PRIORITY_DEFAULT_IDLE,
      +[](gpointer data) -> gboolean {
        const PendingPopup& p = PendingPayload::Of(data);
        GdkEvent* trigger = p.trigger.get();
        const bool byKey = trigger != nullptr &&
                           (trigger->type == GDK_KEY_PRESS || trigger->type == GDK_KEY_RELEASE);
        if (byKey) {
          gtk_menu_popup_at_widget(GTK_MENU(p.popup), p.toplevel, GDK_GRAVITY_NORTH_WEST,
                                   GDK_GRAVITY_NORTH_WEST, trigger);
          gtk_menu_shell_select_first(GTK_MENU_SHELL(p.popup), FALSE);
        } else {
          gtk_menu_popup_at_pointer(GTK_MENU(p.popup), trigger);
        }
        return G_SOURCE_REMOVE;
      },
      PendingPayload::Hand(std::move(pending)), &PendingPayload::Free);
}

}  // namespace bolta

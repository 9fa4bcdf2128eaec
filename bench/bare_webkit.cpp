// The benchmark's reference: the bare web engine showing the same signboard page from memory, with
// nothing of the tool's own. A window, a web view, the page; the window is captioned with the
// title once the page and its pictures have loaded.
//   bare_webkit TITLE BACKGROUND-URL TITLE-PICTURE-URL [SETTING-TXT-URL]
// With a SETTING.TXT address it first fetches that file, as a program that does one thing after
// the other would, and only then opens the window.
#include <curl/curl.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <string>

#include "display/page_composition.h"
#include "res/encoding.h"

namespace {

constexpr std::string_view kAboutScheme = "about:";
constexpr int kWidth = 304;
constexpr int kHeight = 76;

bool Fetch(const char* url) {
  CURL* curl = curl_easy_init();
  if (curl == nullptr) return false;
  curl_easy_setopt(curl, CURLOPT_URL, url);
  curl_easy_setopt(
      curl, CURLOPT_WRITEFUNCTION,
      +[](char*, size_t size, size_t count, void*) { return size * count; });
  const bool fetched = curl_easy_perform(curl) == CURLE_OK;
  curl_easy_cleanup(curl);
  return fetched;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s TITLE BACKGROUND-URL TITLE-PICTURE-URL [SETTING-TXT-URL]\n",
                 argv[0]);
    return 2;
  }
  if (argc > 4 && !Fetch(argv[4])) return 1;
  gtk_init(nullptr, nullptr);

  std::string page = bolta::Cp932ToUtf8(bolta::ComposeSignboardPage(argv[2], argv[3]));
  page.erase(0, kAboutScheme.size());

  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), kWidth, kHeight);
  GtkWidget* view = webkit_web_view_new();
  gtk_container_add(GTK_CONTAINER(window), view);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  g_signal_connect(view, "load-changed",
                   G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, GtkWindow* frame) {
                     if (event == WEBKIT_LOAD_FINISHED) {
                       gtk_window_set_title(frame, static_cast<const char*>(g_object_get_data(
                                                       G_OBJECT(frame), "title")));
                     }
                   }),
                   window);
  g_object_set_data(G_OBJECT(window), "title", argv[1]);
  webkit_web_view_load_html(WEBKIT_WEB_VIEW(view), page.c_str(), "about:blank");
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}

// Bolta: shows the signboard of the board a thread address names.
#include <X11/Xlib.h>
#include <wx/init.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/bolta_app.h"

namespace {

// With the X11 backend (the one the tool asks for) the X server must answer; another backend the
// user chose is left to the toolkit, which reports its own failure.
bool CanOpenDisplay() {
  const char* backend = std::getenv("GDK_BACKEND");
  if (backend == nullptr || std::string_view(backend) != "x11") return true;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  XCloseDisplay(display);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // The tool places its own window, which Wayland does not allow: run through XWayland unless
  // the user has chosen a backend.
  setenv("GDK_BACKEND", "x11", 0);
  // Two still pictures need no GPU, and every use of the OpenGL stack costs start time and memory
  // in the process that makes it: the web engine composites without it, GTK does not probe its
  // OpenGL visuals when it opens the display, and the engine's DMA-BUF renderer, which only GPU
  // compositing would use, does not probe the EGL display's buffer formats. A user's own choice
  // still holds.
  setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 0);
  setenv("GDK_GL", "disable", 0);
  setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "1", 0);

  // GTK and wxWidgets take their own options out of the command line they are given and may
  // reject others; the first argument is an address that must reach the view untouched
  // ("--help" and "--display=x" included). The toolkit gets the program name alone.
  std::optional<std::string> address;
  if (argc >= 2) address = argv[1];
  char* toolkitArgs[] = {argv[0], nullptr};
  int toolkitArgc = 1;
  char** toolkitArgv = toolkitArgs;
  // Without an address the window still shows its invalid-argument page; a terminal user also
  // learns what was expected.
  if (!address) std::fputs("usage: bolta THREAD-URL\n", stderr);
  if (!CanOpenDisplay()) {
    std::fprintf(stderr,
                 "bolta: cannot open a display; set DISPLAY to a running X server "
                 "(./run.sh starts a virtual one when there is none)\n");
    return EXIT_FAILURE;
  }

  // wxWidgets owns and deletes the application object.
  wxApp::SetInstance(new bolta::CBoltaApp(std::move(address)));
  return wxEntry(toolkitArgc, toolkitArgv);
}

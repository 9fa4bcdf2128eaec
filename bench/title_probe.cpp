// Starts a program and waits, on the X server's events, for the first moment one of its top-level
// windows is on the screen captioned with the given title; then stops the program's process group
// (SIGSTOP), so that what is read of it next is what it was at that moment, prints the seconds
// since the start and the program's process id, and waits for the end of its standard input: a
// stopped group whose parent has gone would be sent SIGHUP. The caller continues or ends the group.
//   title_probe TIMEOUT-SECONDS TITLE PROGRAM [ARGUMENTS...]
// Exit code 0 once the window showed, 1 when it did not within the time, 2 on a usage error.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

class Probe {
 public:
  Probe(Display* display, std::string title)
      : display_(display),
        root_(DefaultRootWindow(display)),
        title_(std::move(title)),
        netWmName_(XInternAtom(display, "_NET_WM_NAME", False)),
        utf8_(XInternAtom(display, "UTF8_STRING", False)) {
    // New top-level windows, and the window manager's frames mapped around them.
    XSelectInput(display_, root_, SubstructureNotifyMask);
    XSync(display_, False);
  }

  // Follows a window created on the root (a client's top-level window or a manager's frame).
  void Watch(Window window) {
    if (!watched_.insert(window).second) return;
    XSelectInput(display_, window, PropertyChangeMask | StructureNotifyMask);
  }

  // True when a watched window is viewable and captioned with the title.
  bool Shown() {
    for (Window window : watched_) {
      XWindowAttributes attributes;
      if (XGetWindowAttributes(display_, window, &attributes) == 0) continue;
      if (attributes.map_state == IsViewable && Title(window) == title_) return true;
    }
    return false;
  }

 private:
  std::string Title(Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display_, window, netWmName_, 0, 1024, False, utf8_, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr && format == 8) {
      title.assign(reinterpret_cast<const char*>(data), count);
    }
    if (data != nullptr) XFree(data);
    return title;
  }

  Display* display_;
  Window root_;
  std::string title_;
  Atom netWmName_;
  Atom utf8_;
  std::set<Window> watched_;
};

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s TIMEOUT-SECONDS TITLE PROGRAM [ARGUMENTS...]\n", argv[0]);
    return 2;
  }
  const auto timeout = std::chrono::duration<double>(std::atof(argv[1]));
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "title_probe: cannot open the display\n");
    return 2;
  }
  // The program started must not inherit the probe's connection.
  fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);
  // Windows come and go under the probe: a window destroyed before it is asked about is no error.
  XSetErrorHandler(&IgnoreErrors);
  Probe probe(display, argv[2]);

  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    // A group of its own, to be stopped as a whole; its output would only mix with the probe's,
    // and the probe's input is the caller's word to leave.
    setpgid(0, 0);
    const int null = open("/dev/null", O_RDWR);
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execvp(argv[3], argv + 3);
    _exit(127);
  }

  const Clock::time_point deadline = start + std::chrono::duration_cast<Clock::duration>(timeout);
  pollfd connection{ConnectionNumber(display), POLLIN, 0};
  bool shown = false;
  while (!shown && Clock::now() < deadline) {
    while (XPending(display) > 0 && !shown) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == CreateNotify) probe.Watch(event.xcreatewindow.window);
      if (event.type == ReparentNotify) probe.Watch(event.xreparent.window);
      shown = probe.Shown();
    }
    if (shown) break;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) break;
    poll(&connection, 1, static_cast<int>(left.count()));
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (shown) kill(-child, SIGSTOP);
  XCloseDisplay(display);
  if (!shown) {
    std::printf("timeout %d\n", child);
    return 1;
  }
  std::printf("%.4f %d\n", seconds, child);
  std::fflush(stdout);
  char byte;
  while (read(STDIN_FILENO, &byte, 1) > 0) {
  }
  return 0;
}

#!/usr/bin/env bash
# Installs the Debian packages that the purposes named need, and only those missing:
#   scripts/install-deps.sh build run [display] [test] [desktops]
set -euo pipefail

# Compiling and linking the tool.
build=(cmake ninja-build g++ pkg-config
  libwxgtk3.2-dev libwxgtk-webview3.2-dev libgtk-3-dev libwebkit2gtk-4.0-dev libcurl4-openssl-dev)
# Running it: the Japanese Gothic face the message page asks for, and python3 for the demo board.
run=(fonts-ipafont-gothic python3)
# A virtual desktop where there is no display, and the X clients that watch and screenshot it.
display=(xvfb openbox xdotool x11-utils x11-xserver-utils imagemagick)
# The window managers of the major desktops besides, for scripts/e2e-matrix.sh.
desktops=(kwin-x11 mutter xfwm4 dbus-daemon)
# The tests: unit test framework, formatter, compositor, Xfce's window manager (the end-to-end
# tests run under it too, on a D-Bus session of its own), tray, HTTP proxy, the package's tools
# (file and dpkg-shlibdeps for CPack) and its validators; clang with its sanitizer and libFuzzer
# runtimes for the sanitizer build and the fuzz targets; Xorg with the dummy video driver for a
# desktop of two monitors; Debian's Python modules the end-to-end harness reads the screen with;
# and pytest with trustme, which runs the loopback tests and certifies their TLS server.
test=(libgtest-dev libgmock-dev clang-format xcompmgr xfwm4 dbus-daemon trayer tinyproxy
  xserver-xorg-core xserver-xorg-video-dummy
  file dpkg-dev lintian desktop-file-utils appstream mandoc
  clang libclang-rt-14-dev
  python3-pil python3-xlib python3-pytest python3-trustme)

packages=()
for purpose in "$@"; do
  case $purpose in
    build) packages+=("${build[@]}") ;;
    run) packages+=("${run[@]}") ;;
    display) packages+=("${display[@]}") ;;
    test) packages+=("${test[@]}") ;;
    desktops) packages+=("${desktops[@]}") ;;
    *) echo "install-deps.sh: unknown purpose '$purpose' (build, run, display, test, desktops)" >&2
      exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null

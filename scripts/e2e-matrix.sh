#!/usr/bin/env bash
# Runs the end-to-end tests under each window manager in turn, for anyone who changes the window
# code: scripts/e2e-matrix.sh [WINDOW-MANAGER...]   (default: openbox kwin xfwm4 mutter)
# Installs what is missing, builds, and prints one result line per window manager; fails if any
# failed. ./test.sh runs them under openbox and xfwm4 only.
#
# What belongs to a window manager rather than to the tool, and how the tests take it:
# - xfwm4 and mutter open their own window menu on Alt+Space, KWin the desktop's search
#   (KRunner): the tests open the tool's menu with Shift+F10 there (desktop.py, ALT_SPACE).
# - mutter animates a window's opening and draws its desktop shaded: the tests wait for the frame
#   to stand still before a screenshot, and take the shade on either side of the frame as what a
#   translucent frame is blended with.
# - mutter moves a new window that spans two monitors onto one: TwoMonitors skips that place there.
# - KWin sets no _NET_WORKAREA: the tests take the whole screen as the work area, as GTK does.
# - KWin notes a failed start of its compositing in its settings file, and puts a window of its
#   own under the pointer once a drag is handed over: each desktop's window manager gets a settings
#   folder of its own, and a drag finds its window before the press (desktop.py).
# - icewm draws no Japanese in its title bar under C.UTF-8 (its own fonts); it is not in the list.
set -uo pipefail
cd "$(dirname "$0")/.."
managers=("$@")
[[ ${#managers[@]} -eq 0 ]] && managers=(openbox kwin xfwm4 mutter)
scripts/install-deps.sh build run display test desktops || exit 1
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBOLTA_TESTS=ON >/dev/null &&
  cmake --build build -j "$(nproc)" || exit 1

failed=0
results=()
for wm in "${managers[@]}"; do
  # The tests of the e2e label that take their window manager from BOLTA_E2E_WM.
  if BOLTA_E2E_WM=$wm ctest --test-dir build -R '^e2e\.[A-Za-z]+$' \
    --output-on-failure -j "$(nproc)"; then
    results+=("$wm: passed")
  else
    results+=("$wm: FAILED")
    failed=1
  fi
done
printf '%s\n' "${results[@]}"
exit $failed

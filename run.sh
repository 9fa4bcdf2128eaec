#!/usr/bin/env bash
# Installs what is missing, builds if needed, and runs the tool.
#   ./run.sh THREAD-URL   shows the signboard of the board that thread belongs to
#   ./run.sh              shows the demo board of demo/, served on loopback while the tool runs
# Without a display it runs on a virtual one, saves build/screenshot.png once the window is
# fitted, and closes the tool.
set -euo pipefail
cd "$(dirname "$0")"
if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
  scripts/install-deps.sh build run
else
  scripts/install-deps.sh build run display
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBOLTA_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)" --target bolta

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT

url=${1:-}
if [[ -z $url ]]; then
  # The demo board, on an ephemeral loopback port, for as long as the tool runs (an hour at most).
  portfile=$(mktemp)
  python3 tools/board_server.py --board demo=demo --lifetime 3600 >"$portfile" &
  pids+=($!)
  for _ in $(seq 50); do [[ -s $portfile ]] && break; sleep 0.1; done
  url="http://127.0.0.1:$(head -n1 "$portfile")/test/read.cgi/demo/1234567890/"
  rm -f "$portfile"
  echo "run.sh: showing the demo board at $url"
fi

if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
  build/bolta "$url"
  exit $?
fi

# No display: a virtual one with a small window manager, a screenshot, and the tool closed.
displayfile=$(mktemp)
exec {displayfd}>"$displayfile"
Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
exec {displayfd}>&-
for _ in $(seq 50); do [[ -s $displayfile ]] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$displayfile")"
rm -f "$displayfile"
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

build/bolta "$url" &
bolta=$!
pids+=($bolta)

# Fitted: a shown window of the tool captioned with something other than the titles it carries
# while it starts ("ろぴかせ", "無題", "画像読込中…").
window=
for _ in $(seq 300); do
  for id in $(xdotool search --onlyvisible --class Bolta 2>/dev/null); do
    title=$(xprop -id "$id" _NET_WM_NAME 2>/dev/null | sed -n 's/^[^"]*"\(.*\)"$/\1/p')
    case $title in
      "" | "ろぴかせ" | "無題" | "画像読込中…") ;;
      *) window=$id ;;
    esac
  done
  [[ -n $window ]] && break
  kill -0 "$bolta" 2>/dev/null || break
  sleep 0.1
done
if [[ -z $window ]]; then
  echo "run.sh: the tool showed no fitted window" >&2
  exit 1
fi
sleep 0.5
import -window root build/screenshot.png
xdotool windowactivate --sync "$window" key alt+F4 >/dev/null 2>&1 || true
for _ in $(seq 50); do kill -0 "$bolta" 2>/dev/null || break; sleep 0.1; done
echo "run.sh: no display here, so the tool ran on a virtual one; its screen is in $(pwd)/build/screenshot.png"

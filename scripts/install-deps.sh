#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, and only those missing.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config clang-format
  libwxgtk3.2-dev libwxgtk-webview3.2-dev libgtk-3-dev libwebkit2gtk-4.0-dev libcurl4-openssl-dev
  libgtest-dev libgmock-dev
  # the sanitizer build and the fuzz targets: clang with its sanitizer and libFuzzer runtimes
  clang libclang-rt-14-dev
  # run: the Japanese Gothic face the message page asks for
  fonts-ipafont-gothic
  # a virtual desktop for tests and for running without a display
  xvfb openbox xdotool x11-utils xcompmgr trayer imagemagick python3
  # a real HTTP proxy for the proxy tests
  tinyproxy
)

missing=()
for p in "${packages[@]}"; do
  [[ $p == \#* ]] && continue
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

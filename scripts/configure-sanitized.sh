#!/usr/bin/env bash
# Configures the sanitizer build (default folder build-asan/): clang with AddressSanitizer and
# UndefinedBehaviorSanitizer over the core, the libcurl layer, the loopback tests and the fuzz
# targets; no window system.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-asan}
# A folder configured before with another compiler cannot be switched over: start it afresh.
if [[ -f $build/CMakeCache.txt ]] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang++' "$build/CMakeCache.txt"; then
  rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBOLTA_SANITIZE=ON -DBOLTA_GUI=OFF -DBOLTA_NET=ON \
  -DBOLTA_FUZZ=ON >/dev/null

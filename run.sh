#!/usr/bin/env bash
# Installs what is missing, builds, and runs the tool with the given thread address.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
echo "run.sh: the window is not built yet; the core library and its tests are built under build/." >&2

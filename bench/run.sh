#!/usr/bin/env bash
# The speed benchmark in one command: installs what is missing, builds the tool, the bare-engine
# reference and the probe, and runs bench/bench.py (arguments go to it, e.g. --runs 15).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build run display test  # xcompmgr comes with the test tools
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target bolta bare_webkit title_probe
exec python3 bench/bench.py build "$@"

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then the core and loopback tests again, and
# the fuzz targets for a fixed number of runs each, under the sanitizers (clang).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh build run display test

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBOLTA_TESTS=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

scripts/configure-sanitized.sh build-asan
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -L 'core|net|fuzz' -j "$jobs"

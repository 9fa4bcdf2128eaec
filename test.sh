#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then the core tests again under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh build run display test

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBOLTA_TESTS=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBOLTA_SANITIZE=ON -DBOLTA_GUI=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -L core -j "$jobs"

#!/usr/bin/env bash
# Runs the fuzz targets, one after the other, from their seed corpora in fuzz/corpus/.
#   fuzz/run.sh [SECONDS] [TARGET...]   each target (default: all) for SECONDS (default 60),
#                                       built first in build-asan/ with clang and the sanitizers;
#                                       what it finds is kept in build-asan/fuzz/found-TARGET/
#   fuzz/run.sh --build DIR --runs N TARGET   one target for N runs from its seeds alone (CTest)
# A failing input is written to BUILD/fuzz/ as crash-* (or leak-*, timeout-*); once its fault is
# mended, add it to the target's corpus so that it stays tested.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
targets=(board_address setting_txt settings_store encoding http_target)

build= runs= seconds=60
while [[ $# -gt 0 ]]; do
  case $1 in
    --build) build=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    [0-9]*) seconds=$1; shift ;;
    *) break ;;
  esac
done
[[ $# -gt 0 ]] && targets=("$@")

if [[ -z $build ]]; then
  build=$root/build-asan
  "$root/scripts/install-deps.sh" build test
  "$root/scripts/configure-sanitized.sh" "$build"
  cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"
fi

# The settings store syncs every write: on a memory file system, when there is one, it is fuzzed
# many times faster.
[[ -d /dev/shm && -w /dev/shm ]] && export TMPDIR=${TMPDIR:-/dev/shm}

seeds() {
  echo "$root/fuzz/corpus/$1"
  [[ $1 == setting_txt ]] && echo "$root/tests/fixtures/setting-samples"
  return 0
}

for target in "${targets[@]}"; do
  if [[ -n $runs ]]; then
    # New inputs go to a scratch folder, so that a test run is the same every time.
    found=$(mktemp -d)
    trap 'rm -rf "$found"' EXIT
    limit=(-runs="$runs" -seed=1)
  else
    found=$build/fuzz/found-$target
    mkdir -p "$found"
    limit=(-max_total_time="$seconds")
    echo "fuzz/run.sh: $target for $seconds s"
  fi
  mapfile -t corpus < <(seeds "$target")
  "$build/fuzz/fuzz_$target" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz/" "$found" "${corpus[@]}"
  if [[ -n $runs ]]; then rm -rf "$found"; trap - EXIT; fi
done

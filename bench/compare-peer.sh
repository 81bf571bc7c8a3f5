#!/usr/bin/env bash
# One sky instant of Lunotrop against astronomy-engine 2.1.19 on the same
# instants in one run: bench_astro's BM_ComputeSkyInstant (median of five
# repetitions) and bench/peer/peer.js, then both figures and their ratio.
#
#   bench/compare-peer.sh [BUILD]   BUILD is the build folder (default build/);
#                                   it is configured and bench_astro built
#                                   there if needed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  apt-get update >/dev/null
  apt-get install -y nodejs npm >/dev/null
fi
if [ ! -d "$root/bench/peer/node_modules/astronomy-engine" ]; then
  (cd "$root/bench/peer" && npm ci --no-audit --no-fund >/dev/null)
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target bench_astro -j2 >/dev/null

ours=$(mktemp)
trap 'rm -f "$ours" "$ours.err"' EXIT
# Qt's start-up notes go to a file, shown only if the benchmark fails.
if ! "$build/bench/bench_astro" --benchmark_filter='^BM_ComputeSkyInstant$' \
  --benchmark_repetitions=5 --benchmark_format=json >"$ours" 2>"$ours.err"; then
  cat "$ours.err" >&2
  exit 1
fi
node "$root/bench/peer/peer.js" "$ours"

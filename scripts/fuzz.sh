#!/usr/bin/env bash
# Fuzzes the readers of the files that come from outside with libFuzzer
# (clang, AddressSanitizer and UndefinedBehaviorSanitizer): "ECLGRAPH.DAT"
# conversion, "ERDE.BIN", the compact files with two- and one-byte deltas,
# "CITY.DAT", the parameter file and the help text "Lunotrop.txt".
#
#   ./scripts/fuzz.sh [SECONDS]
#
# Configures build-fuzz/ with CC=clang CXX=clang++, builds the harnesses of
# fuzz/ and runs each for SECONDS seconds (default 5), starting from the seeds
# in fuzz/corpus/. The inputs libFuzzer finds interesting are kept in
# build-fuzz/corpus/, so later runs go on from there. Any crash, sanitizer
# report, broken check, leak or time-out fails the script; the input that
# caused it is saved as build-fuzz/findings/<reader>-crash-... (reproduce it
# with build-fuzz/fuzz_<reader> FILE).
#
# Long runs by hand, for hours: ./scripts/fuzz.sh 14400 (four hours per
# reader), or one reader on both cores:
#   build-fuzz/fuzz_compact -max_total_time=36000 -jobs=2 -workers=2 \
#       -artifact_prefix=build-fuzz/findings/compact- build-fuzz/corpus/compact
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}

CC=clang CXX=clang++ cmake -S fuzz -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2

mkdir -p build-fuzz/findings
for reader in eclgraph erdebin compact city parameterfile helptext; do
  corpus=build-fuzz/corpus/$reader
  mkdir -p "$corpus"
  cp -n fuzz/corpus/"$reader"/* "$corpus"/ 2>/dev/null || true
  echo "== fuzz_$reader, $seconds s =="
  log=build-fuzz/findings/$reader.log
  if build-fuzz/fuzz_"$reader" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/findings/"$reader"- "$corpus" >"$log" 2>&1; then
    grep -E "^(Done|stat::number_of_executed_units)" "$log" || tail -n 3 "$log"
  else
    tail -n 60 "$log" >&2
    echo "fuzz_$reader found a fault; see $log and build-fuzz/findings/" >&2
    exit 1
  fi
done
echo "== fuzzers: no findings =="

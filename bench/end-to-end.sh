#!/usr/bin/env bash
# The program's own time for a table row and an animation step, end to end:
#   a row:  lunotrop --ephemeris --count 200000 minus --count 1, per row;
#   a step: lunotrop --render --steps 2000 minus --steps 0, per step, in the
#           outside view (perspectives 0, 1, 2) and the inside view with the
#           equator and the ecliptic.
# Each figure is the median of ROUNDS runs (default 5): the host's own load
# comes and goes, and a median keeps one slow run from deciding.
#
#   bench/end-to-end.sh [BUILD] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build}")
rounds=${2:-5}
lunotrop=$build/src/control/lunotrop
# shellcheck source=bench/common.sh
source "$root/bench/common.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root"/data/*.BIN "$root"/data/*.bin "$root"/data/*.DAT "$work"/
cd "$work"

seconds() { # command... -> its wall-clock time in seconds
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  echo "$(((end - start) / 1000))e-6"
}

# per_unit units long_command... -- short_command...: the median of the
# difference of the two, divided by units, in microseconds.
per_unit() {
  local units=$1
  shift
  local long=() short=()
  while [ "$1" != "--" ]; do long+=("$1"); shift; done
  shift
  short=("$@")
  for _ in $(seq "$rounds"); do
    awk -v a="$(seconds "${long[@]}")" -v b="$(seconds "${short[@]}")" -v n="$units" \
      'BEGIN { printf "%.3f\n", 1e6 * (a - b) / n }'
  done | median
}

parameters b n n >table.dat
printf '%-40s %8s µs\n' "table row (--ephemeris)" \
  "$(per_unit 199999 "$lunotrop" --ephemeris --count 200000 table.dat -- \
    "$lunotrop" --ephemeris --count 1 table.dat)"

export QT_QPA_PLATFORM=offscreen
for perspective in 0 1 2; do
  printf '%-40s %8s µs\n' "outside step, perspective $perspective" \
    "$(per_unit 2000 "$lunotrop" --render out.bmp --steps 2000 --perspective "$perspective" table.dat -- \
      "$lunotrop" --render out.bmp --steps 0 --perspective "$perspective" table.dat)"
done
parameters p j j >inside.dat
printf '%-40s %8s µs\n' "inside step, equator and ecliptic" \
  "$(per_unit 2000 "$lunotrop" --render out.bmp --steps 2000 inside.dat -- \
    "$lunotrop" --render out.bmp --steps 0 inside.dat)"

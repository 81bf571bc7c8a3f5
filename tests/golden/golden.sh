#!/usr/bin/env bash
# Golden outputs: renders every case of cases.sh with `lunotrop --render`,
# writes the ephemeris tables, and compares each output byte for byte with
# the SHA-256 stored in expected.sha256. A few cases are also kept as PNG
# in pictures/ so that a person can look at them.
#
#   golden.sh LUNOTROP            compare (exit 1 and a list of differences)
#   golden.sh LUNOTROP --update   store the current outputs as the new truth
#
# Only a change that is meant to change pictures or tables may use
# --update, in the commit that makes that change.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
lunotrop=$(realpath "$1")
update=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8

# shellcheck source=cases.sh
source "$here/cases.sh"

# A parameter file: view (p inside, b outside), latitude, longitude, date,
# time, step, azimuth, equator (j/n), ecliptic (j/n).
parameters() {
  printf '%s * Darstellung\r\n%s * geogr. Breite\r\n%s * geogr. L\xe4nge\r\n%s * Startdatum\r\n' \
    "$1" "$2" "$3" "$4"
  printf '%s * Startuhrzeit\r\n%s * deltat\r\n30 * Verz\xf6gerung in ms\r\n%s * zentraler Azimut\r\n' \
    "$5" "$6" "$7"
  printf '30 * Abstand der Koordinatenlinien\r\n%s * \xc4quator\r\n%s * Ekliptik\r\nj * Einzelschritt\r\n' \
    "$8" "$9"
}

actual="$work/actual.sha256"
: >"$actual"
failed_runs=0
cd "$work"
for entry in "${GoldenCases[@]}"; do
  read -r -a field <<<"$entry"
  name=${field[0]} kind=${field[1]}
  parameters "${field[@]:2:9}" >"$name.dat"
  extra=("${field[@]:11}")
  if [ "$kind" = render ]; then
    output="$name.bmp"
    if ! "$lunotrop" --render "$output" "${extra[@]}" "$name.dat" 2>"$name.err"; then
      echo "golden: $name: lunotrop --render failed: $(cat "$name.err")" >&2
      failed_runs=$((failed_runs + 1))
      continue
    fi
  else
    output="$name.csv"
    if ! "$lunotrop" --ephemeris "${extra[@]}" "$name.dat" >"$output" 2>"$name.err"; then
      echo "golden: $name: lunotrop --ephemeris failed: $(cat "$name.err")" >&2
      failed_runs=$((failed_runs + 1))
      continue
    fi
  fi
  echo "$(sha256sum <"$output" | cut -d' ' -f1)  $name" >>"$actual"
done

if [ "$update" = --update ]; then
  [ "$failed_runs" -eq 0 ] || exit 1
  cp "$actual" "$here/expected.sha256"
  rm -f "$here"/pictures/*.png
  mkdir -p "$here/pictures"
  for entry in "${GoldenCases[@]}"; do
    read -r -a field <<<"$entry"
    for kept in "${KeptAsPicture[@]}"; do
      if [ "${field[0]}" = "$kept" ]; then
        "$lunotrop" --render "$here/pictures/$kept.png" "${field[@]:11}" "$kept.dat"
      fi
    done
  done
  echo "golden: stored $(wc -l <"$actual") outputs"
  exit 0
fi

differences=$(diff <(sort -k2 "$here/expected.sha256") <(sort -k2 "$actual") || true)
if [ -n "$differences" ] || [ "$failed_runs" -ne 0 ]; then
  echo "golden: outputs differ from the stored ones:" >&2
  echo "$differences" | grep '^[<>]' >&2 || true
  kept="${GOLDEN_KEEP:-/tmp/golden-actual}"
  rm -rf "$kept" && mkdir -p "$kept" && cp "$work"/*.bmp "$work"/*.csv "$kept"/ 2>/dev/null || true
  echo "golden: the outputs of this run are in $kept" >&2
  exit 1
fi
echo "golden: all $(wc -l <"$actual") outputs identical"

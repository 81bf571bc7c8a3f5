#!/usr/bin/env bash
# Soak: 100 000 animation steps (or $1) in each view, headless, with the
# resident memory before and after and the time per step.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh build >/dev/null
steps=${1:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp data/*.BIN data/*.bin data/*.DAT "$work"/
printf 'p * Darstellung\r\n54.3\r\n10.1\r\n 6.12.2026\r\n14.35\r\n1.00\r\n30\r\n0\r\n30\r\nj\r\nj\r\nj\r\n' \
  > "$work/soak.dat"
cd "$work"
XDG_RUNTIME_DIR=$work "$OLDPWD/build/bench/soak" soak.dat "$steps"

#!/usr/bin/env bash
# Configures and builds Lunotrop into build/ (or the folder given as $1).
# Extra arguments after the folder go to cmake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"

#!/usr/bin/env bash
# Installs what is needed, builds Lunotrop and starts it in the working folder
# ~/Lunotrop (or $LUNOTROP_HOME), which gets the Earth data and the help text.
# Saved pictures and Lunotrop.dat land in that folder.
# Arguments are passed to the program (for instance a parameter file).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

./scripts/install-deps.sh
./scripts/build.sh build

work=${LUNOTROP_HOME:-$HOME/Lunotrop}
mkdir -p "$work"
for f in data/*; do
  [ -f "$f" ] || continue
  case "$(basename "$f")" in README*|*.md) continue ;; esac
  # Never overwrite what the user keeps there.
  [ -e "$work/$(basename "$f")" ] || cp "$f" "$work/"
done
echo "Arbeitsordner: $work"
cd "$work"
exec "$root/build/src/control/lunotrop" "$@"

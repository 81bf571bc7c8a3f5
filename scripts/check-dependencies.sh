#!/usr/bin/env bash
# Checks that the subsystems depend on each other one way only:
#   control -> views, earth, console, astro
#   views   -> earth, console, astro
#   earth   -> console, astro
#   console, astro -> nothing of ours
#   console-web (the console in the browser) -> console (its headers)
# and that Qt is included only in src/console and src/control/main.cpp.
# Prints every arrow it finds between subsystems and every include that
# breaks a rule; exits 1 if there is one.
#
#   scripts/check-dependencies.sh [ROOT]   (ROOT defaults to the repository)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root/src"

declare -A allowed=(
  [astro]=""
  [console]=""
  [earth]="console astro"
  [views]="earth console astro"
  [control]="views earth console astro"
  [console-web]="console"
)

# Which subsystem each of our headers belongs to.
declare -A owner=()
for sub in "${!allowed[@]}"; do
  [ -d "$sub" ] || continue
  for header in "$sub"/*.h; do
    [ -e "$header" ] || continue
    owner[$(basename "$header")]=$sub
  done
done

faults=0
declare -A arrows=()
for sub in "${!allowed[@]}"; do
  [ -d "$sub" ] || continue
  for file in "$sub"/*.h "$sub"/*.cpp; do
    [ -e "$file" ] || continue
    while IFS= read -r line; do
      number=${line%%:*}
      text=${line#*:}
      if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
        included=$(basename "${BASH_REMATCH[1]}")
        target=${owner[$included]:-}
        [ -n "$target" ] && [ "$target" != "$sub" ] || continue
        arrows["$sub -> $target"]=1
        if [[ " ${allowed[$sub]} " != *" $target "* ]]; then
          echo "src/$file:$number: $sub may not use $target (\"$included\")"
          faults=$((faults + 1))
        fi
      elif [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<(Q[^>]*)\> ]]; then
        if [ "$sub" != console ] && [ "$file" != control/main.cpp ]; then
          echo "src/$file:$number: Qt only in src/console and src/control/main.cpp (<${BASH_REMATCH[1]}>)"
          faults=$((faults + 1))
        fi
      fi
    done < <(grep -n '#[[:space:]]*include' "$file" || true)
  done
done

echo "arrows between the subsystems:"
for arrow in "${!arrows[@]}"; do echo "  $arrow"; done | sort
if [ "$faults" -ne 0 ]; then
  echo "$faults includes break the rules."
  exit 1
fi
echo "no include breaks the rules."

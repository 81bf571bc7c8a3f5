#!/usr/bin/env bash
# CPU load of the running program under Xvfb (1920x1080), as a teacher's
# machine sees it: the share of one core over SECONDS (default 10), read
# from /proc, at the default delay of 30 ms, in five states:
# waiting in single-step mode, animating the inside view (without and with
# equator and ecliptic), animating the outside view in perspective 0 and 2.
# With ROUNDS above 1 each state is measured that many times, one state
# after the other, and the median is given with the lowest and the highest:
# the host's own load comes and goes by more than the figures differ.
#
#   bench/cpu-xvfb.sh [BUILD] [SECONDS] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build}")
seconds=${2:-10}
rounds=${3:-1}
lunotrop=$build/src/control/lunotrop
# shellcheck source=bench/common.sh
source "$root/bench/common.sh"
work=$(mktemp -d)
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY=$display
sleep 1

ticks() { # pid -> utime + stime in clock ticks
  awk '{print $14 + $15}' "/proc/$1/stat"
}

share() { # view equator ecliptic keys... -> percent of a core
  local view=$1 equator=$2 ecliptic=$3
  shift 3
  local name=state
  parameters "$view" "$equator" "$ecliptic" >"$work/$name.dat"
  (cd "$work" && exec "$lunotrop" "$name.dat" >/dev/null) &
  local pid=$!
  sleep 3
  for key in "$@"; do xdotool key --clearmodifiers "$key"; sleep 0.3; done
  sleep 2
  local before after hz
  hz=$(getconf CLK_TCK)
  before=$(ticks "$pid")
  sleep "$seconds"
  after=$(ticks "$pid")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f\n", 100 * t / hz / s }'
}

measure() { # name view equator ecliptic keys...
  local name=$1
  shift
  local shares
  shares=$(for _ in $(seq "$rounds"); do share "$@"; done | sort -g)
  if [ "$rounds" -eq 1 ]; then
    printf '%-34s %5.2f %% of a core\n' "$name" "$shares"
  else
    printf '%-34s %5.2f %% of a core (median of %d, %.2f .. %.2f)\n' "$name" \
      "$(echo "$shares" | median)" "$rounds" "$(echo "$shares" | head -1)" "$(echo "$shares" | tail -1)"
  fi
}

measure "waiting in single-step mode" p n n
measure "inside view" p n n e
measure "inside view, equator and ecliptic" p j j e
measure "outside view, perspective 0" b n n x e
measure "outside view, perspective 2" b n n x h h e

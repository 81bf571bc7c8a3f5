#!/usr/bin/env bash
# The dependency check passes on the repository and catches what it must on a
# small made-up tree: a view that uses control, a console that uses the
# views, an earth source that uses the views, Qt in control, and a browser
# console that uses the views and Qt.
set -uo pipefail
check=$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-dependencies.sh
failed=0

if ! "$check" >/tmp/deps-real.$$ 2>&1; then
  echo "the repository breaks the rules:"; cat /tmp/deps-real.$$; failed=1
fi
rm -f /tmp/deps-real.$$

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/src/{astro,console,console-web,earth,views,control}
echo '#pragma once' >"$tree/src/astro/Mathe.h"
echo '#pragma once' >"$tree/src/console/KernGraf.h"
echo '#pragma once' >"$tree/src/earth/Erdmodul.h"
echo '#pragma once' >"$tree/src/views/ViewState.h"
echo '#pragma once' >"$tree/src/control/Parameter.h"
printf '#include "Parameter.h"\n#include "KernGraf.h"\n' >"$tree/src/views/InsideView.cpp"
printf '#include "ViewState.h"\n' >"$tree/src/console/FensterGraf.cpp"
printf '#include "ViewState.h"\n#include "Mathe.h"\n' >"$tree/src/earth/ErdmodulGlobus.cpp"
printf '#include <QImage>\n#include "ViewState.h"\n' >"$tree/src/control/Render.cpp"
printf '#include <QCommandLineParser>\n' >"$tree/src/control/main.cpp"
printf '#include <QImage>\n' >"$tree/src/console/KernGraf.cpp"
echo '#pragma once' >"$tree/src/console-web/WebIntern.h"
printf '#include "KernGraf.h"\n#include "WebIntern.h"\n#include "ViewState.h"\n' \
  >"$tree/src/console-web/WebScreen.cpp"
printf '#include <QPainter>\n' >"$tree/src/console-web/WebText.cpp"
printf '#include "WebIntern.h"\n' >"$tree/src/console/Eingabe.cpp"

output=$("$check" "$tree" 2>&1)
status=$?
expect() {
  if ! grep -qF "$1" <<<"$output"; then
    echo "missing: $1"; failed=1
  fi
}
[ "$status" -eq 1 ] || { echo "the check passed a tree that breaks the rules"; failed=1; }
expect 'src/views/InsideView.cpp:1: views may not use control ("Parameter.h")'
expect 'src/console/FensterGraf.cpp:1: console may not use views ("ViewState.h")'
expect 'src/earth/ErdmodulGlobus.cpp:1: earth may not use views ("ViewState.h")'
expect 'src/control/Render.cpp:1: Qt only in src/console and src/control/main.cpp (<QImage>)'
expect 'src/console-web/WebScreen.cpp:3: console-web may not use views ("ViewState.h")'
expect 'src/console-web/WebText.cpp:1: Qt only in src/console and src/control/main.cpp (<QPainter>)'
expect 'src/console/Eingabe.cpp:1: console may not use console-web ("WebIntern.h")'
expect '7 includes break the rules.'
expect '  views -> control'
if grep -qE '^src/control/main.cpp|^src/console/KernGraf.cpp|Render.cpp:2|Mathe|WebScreen.cpp:[12]' <<<"$output"; then
  echo "reported an allowed include:"; echo "$output"; failed=1
fi
[ "$failed" -eq 0 ] && echo "dependency check: passed"
exit "$failed"

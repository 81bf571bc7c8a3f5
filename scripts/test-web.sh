#!/usr/bin/env bash
# Builds the web site (scripts/build-web.sh) and checks it in Debian's
# Chromium, headless, with the tests in tests/web (puppeteer-core, pinned in
# tests/web/package-lock.json). The desktop program draws the reference
# pictures and writes the reference files: $LUNOTROP_DESKTOP, by default
# build/src/control/lunotrop, which is built here when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

missing=()
command -v chromium >/dev/null || missing+=(chromium)
command -v node >/dev/null || missing+=(nodejs)
command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -ne 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

./scripts/build-web.sh build-web

desktop=${LUNOTROP_DESKTOP:-build/src/control/lunotrop}
if [ ! -x "$desktop" ]; then
  ./scripts/install-deps.sh
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  nice -n 10 cmake --build build -j2 --target lunotrop
  desktop=build/src/control/lunotrop
fi

case $desktop in
/*) ;;
*) desktop=$root/$desktop ;;
esac

cd tests/web
npm ci --no-audit --no-fund --loglevel=error
export LUNOTROP_DESKTOP=$desktop
export LUNOTROP_SITE=$root/build-web/site
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
node --test web.test.mjs

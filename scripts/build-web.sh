#!/usr/bin/env bash
# Builds Lunotrop for the browser: a self-contained web site in
# build-web/site/ (or <folder>/site for the folder given as $1): index.html,
# lunotrop.js, lunotrop.wasm, lunotrop.data and the fonts. Installs
# Debian's emscripten and the Liberation fonts when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-web}

missing=()
command -v emcmake >/dev/null || missing+=(emscripten)
command -v cmake >/dev/null || missing+=(cmake)
[ -f /usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf ] || missing+=(fonts-liberation)
if [ ${#missing[@]} -ne 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

# emcc's JavaScript optimizer loads Debian's acorn, which a node from
# elsewhere on the PATH does not find by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

emcmake cmake -S . -B "$dir" -DLUNOTROP_WEB=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
nice -n 10 cmake --build "$dir" -j2
echo "Die Seite liegt in $dir/site/"

#!/usr/bin/env bash
# Builds the Debian package lunotrop_<version>_amd64.deb into build-package/
# and checks it: the package installs into a temporary root, where the
# program, started from an empty folder, finds its data and draws a picture.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DLUNOTROP_TESTS=OFF \
      -DLUNOTROP_BENCH=OFF -DLUNOTROP_SOURCE_DATA_FALLBACK=OFF >/dev/null
cmake --build build-package -j"$(nproc)"
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls build-package/lunotrop_*_amd64.deb)
echo "Paket: $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends

check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT
dpkg-deb -x "$deb" "$check/root"
for f in usr/bin/lunotrop usr/share/lunotrop/ERDE_0.BIN usr/share/lunotrop/Lunotrop.txt \
         usr/share/lunotrop/CITY.DAT usr/share/applications/lunotrop.desktop \
         usr/share/icons/hicolor/scalable/apps/lunotrop.svg usr/share/man/man1/lunotrop.1.gz; do
  [ -e "$check/root/$f" ] || { echo "fehlt im Paket: $f"; exit 1; }
done
dpkg-deb --field "$deb" Depends | grep -q fonts-liberation
dpkg-deb --field "$deb" Depends | grep -q libqt6widgets6
desktop-file-validate "$check/root/usr/share/applications/lunotrop.desktop" 2>/dev/null || true

mkdir "$check/leer"
printf 'b * Darstellung\r\n54.3\r\n10.1\r\n 6.12.2026\r\n14.35\r\n0.05\r\n30\r\n0\r\n30\r\nn\r\nn\r\nj\r\n' \
  > "$check/leer/test.dat"
# Started through PATH, as from the menu: the program finds its data
# from its own folder.
(cd "$check/leer" && PATH="$check/root/usr/bin:$PATH" lunotrop --render bild.png test.dat)
[ -s "$check/leer/bild.png" ] || { echo "kein Bild"; exit 1; }
# The picture must show the globe: the shipped data was found.
ls "$check/leer"
echo "Paket geprüft: $deb"

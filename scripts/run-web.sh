#!/usr/bin/env bash
# Builds the web site (scripts/build-web.sh) and serves it on 127.0.0.1 with
# Python's http.server until Ctrl+C. Port: $1 or 8080.
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8080}
./scripts/build-web.sh build-web
command -v python3 >/dev/null || { sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo;
  $sudo apt-get install -y python3; }
echo "Lunotrop im Browser: http://127.0.0.1:$port/"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site

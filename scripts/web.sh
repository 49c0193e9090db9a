#!/usr/bin/env bash
# Builds the browser version of Tessaro into build/web and serves it on http://localhost:8000
# (static files only: any web server can serve that folder). Ctrl+C ends the server.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source scripts/web_build.sh
ensure_packages "${WEB_PACKAGES[@]}"
build_web
echo "Tessaro in the browser: http://localhost:8000"
exec python3 -m http.server 8000 --bind 127.0.0.1 --directory build/web

#!/usr/bin/env bash
# Builds Tessaro and starts the application (arguments are passed on, e.g. --root DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$(nproc)" --target tessaro
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Tessaro is built (build/release/ui/tessaro) but there is no display to show it on: set DISPLAY or run it under xvfb-run."
    exit 1
fi
exec build/release/ui/tessaro "$@"

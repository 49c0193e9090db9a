#!/usr/bin/env bash
# Builds Tessaro and runs every test: first the core tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the whole suite (core, command line, GUI). Ends with CTest's
# summary and a non-zero status on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTESSARO_SANITIZE=ON \
      -DTESSARO_BUILD_GUI=OFF -DTESSARO_BUILD_BENCH=OFF -DTESSARO_WERROR=ON
cmake --build build/sanitize -j "$jobs"
ctest --test-dir build/sanitize -j "$jobs" --output-on-failure --timeout 600

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARO_WERROR=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release -j "$jobs" --output-on-failure --timeout 600

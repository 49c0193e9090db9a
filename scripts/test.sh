#!/usr/bin/env bash
# Builds Tessaro and runs every test: first the core tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the fuzz targets' short runs, then the browser version,
# then the whole suite (core, command line, GUI, browser) after a check that every body is
# braced. Ends with CTest's summary and a non-zero status on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source scripts/web_build.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${WEB_PACKAGES[@]}"

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTESSARO_SANITIZE=ON \
      -DTESSARO_BUILD_GUI=OFF -DTESSARO_BUILD_BENCH=OFF -DTESSARO_WERROR=ON
cmake --build build/sanitize -j "$jobs"
# The microcode mutants run a hundred checks: the release suite runs them, at a tenth of the time.
ctest --test-dir build/sanitize -j "$jobs" --output-on-failure --timeout 600 -E '^microcode_mutants$'

# The fuzz targets, each briefly over its seeds (clang, with its own sanitizers).
cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DTESSARO_BUILD_FUZZ=ON \
      -DTESSARO_BUILD_GUI=OFF -DTESSARO_BUILD_BENCH=OFF -DTESSARO_WERROR=ON
cmake --build build/fuzz -j "$jobs" --target assembler_fuzz mal_fuzz control_store_fuzz program_fuzz
ctest --test-dir build/fuzz -j "$jobs" -L fuzz --output-on-failure --timeout 600

# The browser version, whose tests (label web) the release suite runs against tessaro-cli.
build_web

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARO_WERROR=ON
cmake --build build/release -j "$jobs"
bash scripts/check_braces.sh build/release
ctest --test-dir build/release -j "$jobs" --output-on-failure --timeout 600

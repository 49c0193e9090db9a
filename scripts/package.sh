#!/usr/bin/env bash
# Builds the Debian package of Tessaro, build/package/tessaro_VERSION_ARCH.deb, with Debian's
# compiler and linker hardening flags, and checks it with lintian (failing on any error).
# Install it afterwards with: sudo apt install ./build/package/tessaro_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"

build=build/package
# Every hardening feature, "bindnow" included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
      -DTESSARO_BUILD_TESTS=OFF -DTESSARO_BUILD_BENCH=OFF -DTESSARO_WERROR=ON \
      -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/tessaro_*.deb
(cd "$build" && cpack -G DEB)

deb=$(ls "$build"/tessaro_*.deb)
status=0
report=$(lintian --fail-on error "$deb" 2>&1) || status=$?
# lintian's remark that it runs as root, as the set-up commands do, is no finding.
printf '%s\n' "$report" | grep -v '^running with root privileges' || true
if [ "$status" -ne 0 ]; then
    echo "lintian reports errors in $deb"
    exit 1
fi
echo "Built $deb"
echo "Install it with: sudo apt install ./$deb"

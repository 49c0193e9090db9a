#!/usr/bin/env bash
# Builds the Debian package of a build folder with cpack, unpacks it with dpkg-deb (no root, no
# installation) and checks what a user would get: the control fields, the installed files, the
# desktop metadata, and the unpacked programs running an installed example.
#   check_package.sh BUILD_DIR SOURCE_DIR VERSION CPACK
# Exits 77, which CTest reports as skipped, when the Debian tools it needs are missing.
set -euo pipefail
build=$1
source=$2
version=$3
cpack=$4

for tool in dpkg-deb dpkg-shlibdeps; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool not found; the Debian package is built and tested only where dpkg and dpkg-dev are installed"
        exit 77
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tessaro-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    fail "cpack could not build the package"
fi
debs=("$work"/out/tessaro_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || fail "cpack made no tessaro_*.deb"

# Control fields.
[ "$(dpkg-deb -f "$deb" Package)" = tessaro ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version $(dpkg-deb -f "$deb" Version)"
[ "$(dpkg-deb -f "$deb" Section)" = education ] || fail "section"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6widgets6; do
    case "$depends" in
        *"$library"*) ;;
        *) fail "Depends lacks $library (shlibdeps): $depends" ;;
    esac
done

dpkg-deb -x "$deb" "$work/root"
root=$work/root
share=$root/usr/share
for file in \
    usr/bin/tessaro \
    usr/bin/tessaro-cli \
    usr/share/applications/tessaro.desktop \
    usr/share/metainfo/org.tessaro.Tessaro.metainfo.xml \
    usr/share/mime/packages/tessaro.xml \
    usr/share/icons/hicolor/scalable/apps/tessaro.svg \
    usr/share/tessaro/velkora.mal \
    usr/share/tessaro/examples/hello.jvm \
    usr/share/doc/tessaro/copyright; do
    [ -f "$root/$file" ] || fail "the package lacks /$file"
done
for page in tessaro tessaro-cli; do
    compgen -G "$share/man/man1/$page.1*" >/dev/null || fail "the package lacks the page $page(1)"
done
if command -v rsvg-convert >/dev/null 2>&1; then
    for size in 16 32 48 64 128 256; do
        [ -f "$share/icons/hicolor/${size}x${size}/apps/tessaro.png" ] ||
            fail "the package lacks the ${size}x${size} icon"
    done
fi

# The metadata as desktops and software centres read it, where their validators are installed.
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate --no-hints "$share/applications/tessaro.desktop" ||
        fail "desktop entry"
fi
if command -v appstreamcli >/dev/null 2>&1; then
    appstreamcli validate --no-net "$share/metainfo/org.tessaro.Tessaro.metainfo.xml" ||
        fail "AppStream metadata"
fi

# The unpacked programs: an installed example on the installed microprogram, and the versions.
"$root/usr/bin/tessaro-cli" run "$share/tessaro/examples/hello.jvm" \
    --microprogram "$share/tessaro/velkora.mal" </dev/null >"$work/hello.out" ||
    fail "tessaro-cli run exited with $?"
cmp "$work/hello.out" "$source/examples/hello.out" || fail "tessaro-cli run printed $(cat "$work/hello.out")"
[ "$("$root/usr/bin/tessaro-cli" --version)" = "tessaro-cli $version" ] || fail "tessaro-cli --version"
[ "$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/tessaro" --version)" = "tessaro $version" ] ||
    fail "tessaro --version"

echo "PASSED: $(basename "$deb") builds, unpacks and runs"

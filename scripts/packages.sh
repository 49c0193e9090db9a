# Installs the Debian packages named as arguments that are not installed yet (as root, or
# through sudo when available). Sourced by the build scripts.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# qt6-tools-dev and qt6-l10n-tools (lupdate, lrelease) build the English translation, and
# qt6-translations-l10n holds Qt's own texts (buttons, file errors) in English and Italian;
# clang builds the fuzz targets, clang-tidy checks that every body is braced, on the files git
# lists; dpkg-dev and file (cpack's dependency lookup runs both), librsvg2-bin (the icon's
# sizes), desktop-file-utils and appstream (their validators) serve the Debian package and its
# test.
BUILD_PACKAGES=(cmake g++ make pkg-config libgtest-dev libbenchmark-dev qt6-base-dev
                libgl-dev fonts-dejavu-core clang clang-tidy libclang-rt-14-dev dpkg-dev file
                librsvg2-bin desktop-file-utils appstream qt6-tools-dev qt6-l10n-tools
                qt6-translations-l10n git)
# What scripts/package.sh needs besides: the package checker.
PACKAGE_PACKAGES=(lintian)
# The browser version: the WebAssembly compiler (with Node.js and its acorn, which Debian's
# emscripten runs on), ninja, and headless Chromium driven by Selenium for the page's tests.
WEB_PACKAGES=(emscripten node-acorn nodejs ninja-build python3 chromium chromium-driver
              python3-selenium)

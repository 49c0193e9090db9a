# Builds the browser version into build/web: the core as WebAssembly (tessaro-core.js) and
# the page's static files. Sourced by web.sh and test.sh after the packages are in place.
build_web() {
    # Debian's emscripten runs its optimizer on Node.js, which must find Debian's acorn.
    export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    emcmake cmake -S . -B build/emscripten -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DTESSARO_WERROR=ON -DTESSARO_BUILD_GUI=OFF -DTESSARO_BUILD_TESTS=OFF \
        -DTESSARO_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
    cmake --build build/emscripten -j "$(nproc)"
}

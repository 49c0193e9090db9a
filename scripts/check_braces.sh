#!/usr/bin/env bash
# Fails when an if, else, for or while body of ours is not a braced block. Needs a configured
# build folder with compile_commands.json (the first argument, build/release by default).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
# Only the sources this build compiles: for the others clang-tidy would have to guess the flags.
mapfile -t files < <(git ls-files 'core/*.cpp' 'machine/*.cpp' 'mal/*.cpp' 'ijvm/*.cpp' 'check/*.cpp' \
                         'ui/*.cpp' 'cli/*.cpp' 'tests/*.cpp' 'bench/*.cpp' 'fuzz/*.cpp' |
                     while read -r f; do
                         grep -q "\"file\": \"$PWD/$f\"" "$build/compile_commands.json" &&
                             echo "$f"
                     done)
status=0
output=$(printf '%s\n' "${files[@]}" |
         xargs -P "$(nproc)" -n 8 clang-tidy -p "$build" --quiet \
             --checks='-*,readability-braces-around-statements' --warnings-as-errors='*' \
             --header-filter="^$PWD/(core|machine|mal|ijvm|check|ui|cli|tests|bench|fuzz)/" 2>&1) ||
    status=$?
if [ "$status" -ne 0 ]; then
    grep -v -E 'warnings? generated|^Suppressed|Use -header-filter|^$' <<<"$output" || true
    echo "Some if, else, for or while bodies are not braced (see above)." >&2
    exit 1
fi
echo "Every if, else, for and while body is braced."

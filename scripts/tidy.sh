#!/usr/bin/env bash
# Runs clang-tidy with the checks in .clang-tidy over every C++ source the
# normal build compiles, and lists what it finds; exits 1 when it finds
# anything. Slow (minutes per core), so neither scripts/test.sh nor CI runs it.
# Needs clang-tidy (apt-get install clang-tidy). QV_TIDY_BUILD names the
# build folder (default build); extra arguments go to run-clang-tidy.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QV_TIDY_BUILD:-build}
jobs=${QV_TIDY_JOBS:-$(nproc)}

cmake -S . -B "$build" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
# The window's sources include headers that moc and the build generate.
cmake --build "$build" -j "$jobs" --target qv_app_autogen >/dev/null

# Only the project's own sources, not the generated ones in the build folder.
sources="^$PWD/(text|platform|template|filelist|fileops|content|convert|app|cli|tests|bench)/"
report=$(mktemp)
trap 'rm -f "$report"' EXIT
run-clang-tidy -p "$build" -j "$jobs" -quiet "$@" "$sources" 2>/dev/null | tee "$report" | grep -E 'warning:|error:' || true
if grep -qE '(warning|error):' "$report"; then
    echo "== clang-tidy: $(grep -cE '(warning|error):' "$report") findings"
    exit 1
fi
echo "== clang-tidy: no findings"

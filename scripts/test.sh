#!/usr/bin/env bash
# Checks that every C++ file is formatted as .clang-format says, then builds
# Qorvane and runs every test: the normal build, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzzer for a
# bounded time (QV_FUZZ_SECONDS, default 60; 0 skips fuzzing).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
fuzz_seconds=${QV_FUZZ_SECONDS:-60}

echo "== format"
# Lists each line that differs from the house style and fails.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

echo "== build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== build and test with ASan/UBSan"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON -DQV_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j "$jobs"

if [ "$fuzz_seconds" -gt 0 ]; then
    echo "== fuzz, ${fuzz_seconds}s each"
    CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_FUZZ=ON -DQV_BENCH=OFF >/dev/null
    cmake --build build-fuzz -j "$jobs" --target all
    for fuzzer in build-fuzz/tests/fuzz/*_fuzz; do
        [ -x "$fuzzer" ] || continue
        echo "-- $(basename "$fuzzer")"
        corpus=$(mktemp -d)
        "$fuzzer" -max_total_time="$fuzz_seconds" -max_len=4096 -rss_limit_mb=2048 -print_final_stats=0 \
            -close_fd_mask=3 "$corpus"
        rm -rf "$corpus"
    done
fi
echo "== all tests passed"

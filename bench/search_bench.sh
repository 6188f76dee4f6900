#!/bin/bash
# The file search from the command line against find(1), on the same
# generated tree in the same run: wall time, peak memory and their ratio.
#   1. by type:          qorvane-cli search --types '*.txt'
#                        find DIR -iname '*.txt'
#   2. with a size filter: qorvane-cli search --types '*.txt' --size 100:500
#                        find DIR -iname '*.txt' -size +99c -size -501c
# The tree: 200,000 files in 2,000 folders (20 folders of 99 subfolders
# each, plus those 20), half "*.txt", half "*.dat", sizes 0 to 999 bytes
# (sparse). Each command runs once to warm the caches, then RUNS times
# (default 5) alternating with its peer; the best time counts. A third line
# has find print each match's size, time and mode, as the list shows them.
#
# Usage: bench/search_bench.sh [BUILD_DIR]
#   BUILD_DIR defaults to build-release beside this script's folder; it is
#   configured as a Release build and qorvane-cli is built when missing.
set -euo pipefail

# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "$0")/common.sh"
build=${1:-$root/build-release}
runs=${RUNS:-5}
cli=$build/cli/qorvane-cli
[ -x "$cli" ] || build_release "$build" qorvane-cli

make_work search
perl -e '
    my ($root, $made) = ($ARGV[0], 0);
    for my $top (0..19) {
        for my $sub (0..99) {
            my $dir = "$root/top$top" . ($sub ? "/sub$sub" : "");
            mkdir $dir or die "$dir: $!";
            for my $f (0..99) {
                my $path = "$dir/file$f" . ($f % 2 ? ".dat" : ".txt");
                open(my $h, ">", $path) or die "$path: $!";
                truncate($h, $made++ * 7919 % 1000) or die;
            }
        }
    }' "$work"

# Runs "$@" with stdout to /dev/null; prints "seconds peak-KiB".
measure() {
    /usr/bin/time -f "%e %M" -o "$work.time" "$@" >/dev/null
    cat "$work.time"
}

# best-of-$runs "seconds peak-KiB" for two commands run in turn.
compare() { # name ours... -- theirs...
    local name=$1 ours=() theirs=() side=ours
    shift
    for arg in "$@"; do
        if [ "$arg" = "--" ]; then side=theirs; continue; fi
        if [ $side = ours ]; then ours+=("$arg"); else theirs+=("$arg"); fi
    done
    local qbest=999 qmem=0 fbest=999 fmem=0 qlines flines
    qlines=$("${ours[@]}" | wc -l)
    flines=$("${theirs[@]}" | wc -l)
    for _ in $(seq "$runs"); do
        read -r t m < <(measure "${ours[@]}")
        if (( $(echo "$t < $qbest" | bc -l) )); then qbest=$t; fi
        qmem=$m
        read -r t m < <(measure "${theirs[@]}")
        if (( $(echo "$t < $fbest" | bc -l) )); then fbest=$t; fi
        fmem=$m
    done
    printf '%-10s qorvane-cli %6.2f s %7d KiB (%d lines)   find %6.2f s %7d KiB (%d lines)   ratio (qorvane-cli / find) %.2f\n' \
        "$name" "$qbest" "$qmem" "$qlines" "$fbest" "$fmem" "$flines" "$(echo "$qbest / $fbest" | bc -l)"
}

echo "searching 200,000 files in 2,000 folders ($(nproc) cores, $(uname -r))"
compare "*.txt" "$cli" search --folder "$work" --types '*.txt' -- find "$work" -iname '*.txt'
compare "*.txt+size" "$cli" search --folder "$work" --types '*.txt' --size 100:500 -- \
    find "$work" -iname '*.txt' -size +99c -size -501c
# What the list shows of each file (size, time, attributes) costs find a stat
# per match too: the like-for-like peer of the first line.
compare "*.txt+info" "$cli" search --folder "$work" --types '*.txt' -- \
    find "$work" -iname '*.txt' -printf '%s %TY-%Tm-%Td %TH:%TM %m %p\n'

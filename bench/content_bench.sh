#!/bin/bash
# Times the streamed line operations against what a user would run instead,
# on generated GBK text (mixed Chinese and ASCII lines), both sides on the
# same data in the same run: line cut vs cut -b, line insert vs sed, delete
# lines by keyword vs grep -v, pattern replace vs mawk, combine vs cat.
# Prints each time, the ratio (ours divided by theirs: below 1 means faster)
# and both peak memories (/usr/bin/time %M). A second, larger file then shows
# that our peak memory does not grow with the file.
#
# usage: bench/content_bench.sh [SIZE_MB] [BIG_MB]   (default 60 and 300; run by hand)
#        REPEAT=N runs each command N times (default 3) and keeps the best time.
# Builds a Release tree in build-content-bench/ and the driver beside it.
# Needs /usr/bin/time (Debian package "time"), mawk and python3.
set -euo pipefail

# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "$0")/common.sh"
size_mb=${1:-60}
big_mb=${2:-300}
build="$root/build-content-bench"
make_work content
need_time

echo "building (Release) ..." >&2
build_release "$build" qv_cli qv_convert
c++ -O2 -std=c++20 -I"$root" "$root/bench/content_driver.cpp" -o "$build/content_driver" \
    -Wl,--start-group "$build/cli/libqv_cli.a" "$build"/libqv_*.a -Wl,--end-group \
    $(pkg-config --libs opencc) -licuuc -licudata
driver="$build/content_driver"

# The machine may be shared: each side runs $repeat times, alternating, and
# the best time and the highest peak count. Dirty pages are flushed before
# each run, so neither side pays for writing back the other's output.
repeat=${REPEAT:-5}
compare() { # NAME, then our command as a string, then theirs
    local name=$1 ours=$2 theirs=$3 t m i
    local t_ours=1e9 m_ours=0 t_theirs=1e9 m_theirs=0
    for ((i = 0; i < repeat; i++)); do
        sync
        read -r t m < <(time_of bash -c "$ours")
        t_ours=$(smaller "$t_ours" "$t")
        m_ours=$(( m > m_ours ? m : m_ours ))
        sync
        read -r t m < <(time_of bash -c "$theirs")
        t_theirs=$(smaller "$t_theirs" "$t")
        m_theirs=$(( m > m_theirs ? m : m_theirs ))
        rm -f "$work"/*.qv.txt "$work/theirs.txt"
    done
    awk -v n="$name" -v a="$t_ours" -v b="$t_theirs" -v m="$m_ours" -v p="$m_theirs" 'BEGIN {
        printf "%-36s ours %6.2f s  theirs %6.2f s  ratio %5.2f  peak ours %5.1f MB  theirs %5.1f MB\n",
               n, a, b, (b > 0 ? a / b : 0), m / 1024, p / 1024 }'
}

run_all() { # DATA: the file every comparison reads
    local data=$1 bytes lines
    bytes=$(stat -c %s "$data")
    lines=$(wc -l < "$data")
    echo "data: $bytes bytes, $lines lines"
    cat "$data" > /dev/null # warm the page cache
    cp "$data" "$work/second.txt"
    compare "cut \${GetMid(3,8)} / cut -b3-10" \
        "'$driver' cut --template '\${GetMid(3,8)}' --lines all '$data'" \
        "cut -b3-10 '$data' > '$work/theirs.txt'"
    compare "insert \${AddLeft(x)} / sed" \
        "'$driver' insert --template '\${AddLeft(x)}' --lines all '$data'" \
        "sed 's/^/x/' '$data' > '$work/theirs.txt'"
    compare "delete-lines Port / grep -a -v" \
        "'$driver' delete-lines --keywords Port '$data'" \
        "grep -a -v Port '$data' > '$work/theirs.txt'"
    compare "pattern \$2-\$1 / mawk" \
        "'$driver' pattern --pattern '\$2-\$1' --count 2 '$data'" \
        "mawk -F';' '{ print \$2 \"-\" \$1 }' '$data' > '$work/theirs.txt'"
    compare "combine two files / cat" \
        "'$driver' combine '$data' '$work/second.txt'" \
        "cat '$data' '$work/second.txt' > '$work/theirs.txt'"
    rm -f "$work/second.txt"
}

export LC_ALL=C
echo "generating ${size_mb} MB of GBK text ..." >&2
generate_gbk_text "$work/data.txt" "$size_mb" lf
run_all "$work/data.txt"
rm -f "$work/data.txt"
echo "generating ${big_mb} MB of GBK text ..." >&2
generate_gbk_text "$work/big.txt" "$big_mb" lf
run_all "$work/big.txt"

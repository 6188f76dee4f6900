#!/bin/bash
# Times charset conversion against iconv on one generated GBK text file
# (mixed Chinese and ASCII lines), in the same run: GBK -> UTF-8, then that
# UTF-8 back to GBK. Prints each time, the ratio (ours divided by theirs:
# below 1 means faster), both peak memories, and whether our output is byte
# for byte iconv's (the generated text is one both convert without loss, so
# they must agree).
#
# usage: bench/charset_bench.sh [SIZE_MB]   (run by hand; not part of ctest)
# Builds a Release qorvane-cli in build-charset-bench/. Needs /usr/bin/time
# (Debian package "time"), iconv and python3.
set -euo pipefail

# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "$0")/common.sh"
size_mb=${1:-60}
build="$root/build-charset-bench"
make_work charset
need_time

echo "building (Release) ..." >&2
build_release "$build" qorvane-cli
cli="$build/cli/qorvane-cli"
[ -x "$cli" ] || cli=$(find "$build" -name qorvane-cli -type f -perm -u+x | head -1)

echo "generating ${size_mb} MB of GBK text ..." >&2
generate_gbk_text "$work/data.txt" "$size_mb" crlf
bytes=$(stat -c %s "$work/data.txt")
echo "data: $bytes bytes, $(wc -l < "$work/data.txt") lines"

# best_of COMMAND...: "seconds peak_kb", the best time and highest peak of
# $repeat runs, dirty pages flushed before each so no run pays for another's
# writes.
repeat=${REPEAT:-5}
best_of() {
    local best=1e9 peak=0 t m i
    for ((i = 0; i < repeat; i++)); do
        sync
        read -r t m < <(time_of "$@")
        best=$(smaller "$best" "$t")
        peak=$(( m > peak ? m : peak ))
    done
    echo "$best $peak"
}

# report NAME "ours_s ours_kb" "theirs_s theirs_kb" INPUT_BYTES
report() {
    read -r os okb <<<"$2"
    read -r ts tkb <<<"$3"
    python3 - "$1" "$os" "$okb" "$ts" "$tkb" "$4" <<'PY'
import sys
name, os_, okb, ts, tkb, size = sys.argv[1], float(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4]), int(sys.argv[5]), int(sys.argv[6])
ratio = os_ / ts if ts > 0 else float("inf")
print(f"{name:<22} ours {os_:6.2f} s  theirs {ts:6.2f} s  ratio {ratio:5.2f}  "
      f"our peak {okb / 1024:7.1f} MB = {okb * 1024 / size:4.2f} x input  (theirs {tkb / 1024:.1f} MB)")
PY
}

# same OURS THEIRS: says whether the two outputs are byte for byte the same.
same() {
    if cmp -s "$1" "$2"; then echo "  output identical to iconv's"; else echo "  OUTPUT DIFFERS from iconv's"; fi
}

cd "$work"
ours=$(best_of "$cli" charset --call '${ToUtf8()}' data.txt)
theirs=$(best_of sh -c 'iconv -f GBK -t UTF-8 data.txt > iconv.u8.txt')
report "GBK -> UTF-8" "$ours" "$theirs" "$bytes"
same data.qv.txt iconv.u8.txt

mv data.qv.txt u8.txt
u8bytes=$(stat -c %s u8.txt)
ours=$(best_of "$cli" charset --call '${ToAnsi()}' u8.txt)
theirs=$(best_of sh -c 'iconv -f UTF-8 -t GBK u8.txt > iconv.gbk.txt')
report "UTF-8 -> GBK" "$ours" "$theirs" "$u8bytes"
same u8.qv.txt iconv.gbk.txt
cmp -s u8.qv.txt data.txt || echo "note: round trip differs from the source" >&2

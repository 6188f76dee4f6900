# shellcheck shell=bash
# Sourced by the benchmark scripts: the source root, a throw-away work folder,
# a Release build of what a script runs, and the time and peak memory of one
# command.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# make_work NAME: a fresh folder in $work, removed when the script exits.
make_work() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/qv-$1-bench.XXXXXX")
    trap 'rm -rf "$work"' EXIT
}

# build_release DIR TARGET...: configures DIR as a Release build without
# tests and benchmarks and builds the targets.
build_release() {
    local build=$1
    shift
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_TESTS=OFF -DQV_BENCH=OFF >/dev/null
    ninja -C "$build" "$@" >/dev/null
}

# need_time: stops the script when /usr/bin/time is missing.
need_time() {
    [ -x /usr/bin/time ] || { echo "needs /usr/bin/time (apt-get install time)" >&2; exit 1; }
}

# time_of COMMAND...: prints "seconds peak_kb" of the command (output
# discarded); stops the script, showing the command's stderr, when it fails.
time_of() {
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>"$work/stderr" || { cat "$work/stderr" >&2; exit 1; }
    cat "$work/time"
}

# smaller A B: the smaller of two decimal numbers.
smaller() {
    awk -v a="$1" -v b="$2" 'BEGIN { print (b < a ? b : a) }'
}

# generate_gbk_text PATH SIZE_MB KIND: SIZE_MB (10^6 bytes, rounded up to
# whole blocks) of GBK text, mixed Chinese and ASCII lines; KIND is crlf (two
# kinds of line ended by CR LF) or lf (four kinds of line ended by LF).
generate_gbk_text() {
    python3 - "$1" "$2" "$3" <<'PY'
import random, sys
path, size, kind = sys.argv[1], int(sys.argv[2]) * 1000 * 1000, sys.argv[3]
random.seed(1)
words = ["中文", "测试", "数据", "文件", "批量", "处理", "编码", "内容", "行号", "关键字", "北京", "上海"]

def crlf_line(i, cn, ascii_part):
    return (f"{ascii_part};{cn} {i}" if i % 2 else f"ID{i:06d};{cn};{ascii_part}") + "\r\n"

def lf_line(i, cn, ascii_part):
    kind = i % 4
    if kind == 0: line = f"ID{i:06d};{cn};{ascii_part}"
    elif kind == 1: line = f"{ascii_part};{cn} Port {i}"
    elif kind == 2: line = f"{cn};ERROR {ascii_part};{i * 7}"
    else: line = f"user{i % 97};{ascii_part}{cn}"
    return line + "\n"

line_of = {"crlf": crlf_line, "lf": lf_line}[kind]
block = []
for i in range(20000):
    cn = "".join(random.choice(words) for _ in range(random.randint(1, 6)))
    ascii_part = "".join(random.choice("abcdefghijklmnopqrstuvwxyz0123456789") for _ in range(random.randint(3, 20)))
    block.append(line_of(i, cn, ascii_part).encode("gbk"))
chunk = b"".join(block)
with open(path, "wb") as out:
    written = 0
    while written < size:
        out.write(chunk)
        written += len(chunk)
PY
}

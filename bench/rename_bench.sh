#!/bin/bash
# Renames N files (default 100,000) in one folder with qorvane-cli and with
# Perl's rename, on the same generated files in the same run, and reports
# the times and their ratio:
#   1. prefix:  qorvane-cli rename --template '${AddLeft(x_)}'
#               rename 's/^/x_/'
#   2. serial:  qorvane-cli rename --template '${Sn(1,6)}'
#               rename with a Perl counter giving 000001.dat, 000002.dat, ...
# Both tools get the names in the same order (one per line: --list for
# qorvane-cli, standard input for rename). With MV_LOOP=1 a shell loop of mv
# calls runs too (slow: one process per file).
#
# Usage: bench/rename_bench.sh [BUILD_DIR] [N]
#   BUILD_DIR defaults to build-release beside this script's folder; it is
#   configured as a Release build and qorvane-cli is built when missing.
# Needs: cmake, ninja, perl rename (apt-get install rename).
set -euo pipefail

# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "$0")/common.sh"
build=${1:-$root/build-release}
count=${2:-100000}
cli=$build/cli/qorvane-cli
[ -x "$cli" ] || build_release "$build" qorvane-cli
perl_rename=$(command -v file-rename || command -v rename || true)
if [ -z "$perl_rename" ] || ! "$perl_rename" -V >/dev/null 2>&1; then
    echo "Perl rename is missing: apt-get install -y rename" >&2
    exit 1
fi

make_work rename

# Makes $work/files holding f000001.dat ... and the list of their paths.
make_files() {
    rm -rf "$work/files"
    mkdir -p "$work/files"
    (cd "$work/files" && perl -e 'for (1..$ARGV[0]) { my $n = sprintf("f%06d.dat", $_); open(my $f, ">", $n) or die; }' "$count")
    (cd "$work/files" && ls -1 | LC_ALL=C sort) > "$work/names"
    sed "s|^|$work/files/|" "$work/names" > "$work/paths"
}

now() { date +%s.%N; }

# Runs "$@" in $work/files and prints its wall time in seconds.
timed() {
    local start end
    start=$(now)
    (cd "$work/files" && "$@") >/dev/null
    end=$(now)
    echo "$end - $start" | bc -l
}

# Checks that the folder holds exactly $count files whose names match $1.
check() {
    local matching
    matching=$(ls -1 "$work/files" | grep -c -E "$1" || true)
    if [ "$matching" != "$count" ]; then
        echo "check failed: $matching of $count names match $1" >&2
        exit 1
    fi
}

report() { # name qorvane-seconds other-seconds other-name
    printf '%-8s qorvane-cli %7.2f s   %-12s %7.2f s   ratio (other / qorvane-cli) %.2f\n' \
        "$1" "$2" "$4" "$3" "$(echo "$3 / $2" | bc -l)"
}

# against_perl NAME TEMPLATE PERL_EXPRESSION NAMES: renames fresh files with
# qorvane-cli by TEMPLATE, then fresh files again with Perl rename by
# PERL_EXPRESSION, checks both times that every name matches NAMES and
# reports the two times.
against_perl() {
    local q p
    make_files
    q=$(timed "$cli" rename --template "$2" --list "$work/paths")
    check "$4"
    make_files
    p=$(timed sh -c "\"$perl_rename\" '$3' < \"$work/names\"")
    check "$4"
    report "$1" "$q" "$p" "perl rename"
}

echo "renaming $count files in one folder ($(nproc) cores, $(uname -r))"

against_perl prefix '${AddLeft(x_)}' 's/^/x_/' '^x_f[0-9]{6}\.dat$'
against_perl serial '${Sn(1,6)}' 'our $n; my $e = s/(\.[^.]*)$// ? $1 : ""; $_ = sprintf("%06d", ++$n) . $e' '^[0-9]{6}\.dat$'

if [ "${MV_LOOP:-0}" = 1 ]; then
    make_files
    m=$(timed sh -c "while read -r n; do mv -n -- \"\$n\" \"x_\$n\"; done < \"$work/names\"")
    check '^x_f[0-9]{6}\.dat$'
    make_files
    q=$(timed "$cli" rename --template '${AddLeft(x_)}' --list "$work/paths")
    report prefix "$q" "$m" "mv loop"
fi

#!/bin/bash
# Times converting 50 small spreadsheets to csv: one soffice start per file,
# as a user would script it, against qorvane-cli, which converts them all in
# one start. Both runs get fresh throw-away LibreOffice profiles. Prints each
# time and the ratio (ours divided by theirs: below 1 means faster).
#
# usage: bench/convert_bench.sh [FILES]   (run by hand; not part of ctest)
# Builds a Release qorvane-cli in build-convert-bench/. Needs soffice.
set -euo pipefail

# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "$0")/common.sh"
count=${1:-50}
build="$root/build-convert-bench"
make_work convert

echo "building (Release) ..." >&2
build_release "$build" qorvane-cli
cli="$build/cli/qorvane-cli"

echo "generating $count workbooks ..." >&2
mkdir -p "$work/books" "$work/single"
for i in $(seq 1 "$count"); do
    {
        printf '编号,姓名,数量,单价\r\n'
        for row in $(seq 1 20); do printf '%d,用户%d,%d,%d.5\r\n' "$row" "$row" $((row * i)) "$i"; done
    } | iconv -f utf-8 -t gbk >"$work/books/book$i.csv"
done
"$cli" convert --call '${CsvTo(xls)}' "$work"/books/*.csv >/dev/null
rm "$work"/books/*.csv

seconds() { date +%s.%N; }

start=$(seconds)
for book in "$work"/books/*.xls; do
    soffice "-env:UserInstallation=file://$work/profile-single" --headless --norestore \
        --convert-to 'csv:Text - txt - csv (StarCalc):44,34,61,1,,0,false,true,true' \
        --outdir "$work/single" "$book" >/dev/null 2>&1
done
single=$(echo "$(seconds) - $start" | bc)
[ "$(ls "$work/single" | wc -l)" -eq "$count" ] || { echo "soffice per file did not write $count files" >&2; exit 1; }

start=$(seconds)
"$cli" convert --call '${XlsTo(csv)}' "$work"/books/*.xls >/dev/null
ours=$(echo "$(seconds) - $start" | bc)
[ "$(ls "$work"/books/*.csv | wc -l)" -eq "$count" ] || { echo "qorvane-cli did not write $count files" >&2; exit 1; }

printf '%d workbooks to csv\n' "$count"
printf '  soffice, one start per file: %6.1f s\n' "$single"
printf '  qorvane-cli, batched:        %6.1f s\n' "$ours"
printf '  ratio (ours / theirs):       %6.3f\n' "$(echo "$ours / $single" | bc -l)"

#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine and checks the
# installed programs: lintian finds no error, the desktop entry and the
# AppStream metadata validate, the command line answers --help and its bash
# completion loads, and the window starts headless, shows its caption and quits.
set -euo pipefail
cd "$(dirname "$0")/.."
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
rm -f build/qorvane_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/qorvane_*.deb)
echo "== $deb"
dpkg-deb --field "$deb" Depends Recommends
# Qt's Chinese texts and the SVG plugins are loaded at run time, so no
# library link names them.
dpkg-deb --field "$deb" Depends | grep -q "qt6-translations-l10n"
dpkg-deb --field "$deb" Depends | grep -q "libqt6svg6"
# Errors fail the check; the warnings it still prints are explained in the README.
lintian --fail-on error --tag-display-limit 0 "$deb"

DEBIAN_FRONTEND=noninteractive as_root apt-get install -y "./$deb"
desktop-file-validate /usr/share/applications/qorvane.desktop
appstreamcli validate --no-net /usr/share/metainfo/example.qorvane.qorvane.metainfo.xml
test -f /usr/share/icons/hicolor/scalable/apps/qorvane.svg
test -f /usr/share/qorvane/使用说明.txt
test -f /usr/share/qorvane/tips.txt
test -f /usr/share/man/man1/qorvane.1.gz
test -f /usr/share/man/man1/qorvane-cli.1.gz
test -f /usr/share/doc/qorvane/copyright
bash -c 'source /usr/share/bash-completion/completions/qorvane-cli && complete -p qorvane-cli' >/dev/null
/usr/bin/qorvane-cli --help >/dev/null
/usr/bin/qorvane --help >/dev/null
caption=$(QT_QPA_PLATFORM=offscreen QORVANE_TIPS_SERVER=http://127.0.0.1:9 /usr/bin/qorvane --quit-after-start)
echo "window caption: $caption"
test "$caption" = "Qorvane文件批量处理"
echo "== package installed and checked"

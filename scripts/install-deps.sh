#!/usr/bin/env bash
# Installs what Qorvane needs to build and test on Debian 12.
set -euo pipefail
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
export DEBIAN_FRONTEND=noninteractive
as_root apt-get update
as_root apt-get install -y --no-install-recommends \
    build-essential cmake ninja-build pkg-config git \
    libicu-dev libopencc-dev libopencc-data \
    libgtest-dev libgmock-dev libbenchmark-dev \
    clang clang-format libclang-rt-14-dev attr \
    qt6-base-dev qt6-translations-l10n libqt6svg6 fonts-arphic-uming fonts-wqy-microhei \
    libreoffice-calc-nogui desktop-file-utils dpkg-dev file lintian appstream

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every Debian package that building, testing and running NtbMelde needs.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins qt6-translations-l10n
    libbenchmark-dev clang libclang-rt-dev clang-format
    libqt6sql6-sqlite libsqlite3-dev libzip-dev zip
    # ICU: transliterating names that Windows-1252 cannot hold, and German order keys
    libicu-dev
    # libzip's CMake package checks that its tools exist
    zipcmp zipmerge ziptool
    xvfb xauth imagemagick unrtf poppler-utils
    fonts-dejavu-core fonts-liberation adwaita-icon-theme
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
        || missing+=("$package")
done

if [ "${#missing[@]}" -gt 0 ]; then
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

#!/usr/bin/env bash
# Installs every Debian package Quillo needs to build, test and run. Safe to run again:
# it only calls apt-get when something is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config ccache clang clang-format clang-tidy
    libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libasio-dev libssl-dev nlohmann-json3-dev libplist-dev
    libcairo2-dev libpango1.0-dev libglib2.0-dev fonts-dejavu-core
    qt6-base-dev libqt6svg6 qt6-translations-l10n adwaita-icon-theme xvfb xauth imagemagick poppler-utils tzdata
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"

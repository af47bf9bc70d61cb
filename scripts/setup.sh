#!/usr/bin/env bash
# Installs what building and testing the project needs on Debian 12, and
# nothing that is already there: a machine that has every package needs no
# network. Non-interactive; uses sudo only when not run as root.
#
#   scripts/setup.sh
set -euo pipefail

# Every Debian package the project needs, in one place. Add new ones here.
PACKAGES=(
    # Building the library and its tests and benchmarks
    cmake
    g++
    make
    pkg-config
    libgtest-dev
    libgmock-dev
    libbenchmark-dev
    # libFuzzer targets and sanitizers with clang
    clang
    libclang-rt-14-dev
    # The Cairo surface and the command-line program
    libcairo2-dev
    libpango1.0-dev
    fonts-dejavu-core
    nlohmann-json3-dev
    # Tests of the command-line program
    poppler-utils
    python3
    python3-jsonschema
    libreoffice-writer-nogui
    libcli11-dev
    # The export module and its tests
    libxlsxwriter-dev
    libreoffice-calc-nogui
    python3-openpyxl
    python3-html5lib
    # The viewer and its tests
    libgtk-4-dev
    xvfb
    xauth
    xdotool
    xclip
    # The Python module and its tests
    pybind11-dev
    python3-dev
    python3-pytest
    python3-numpy
    python3-pandas
)

installed() {
    [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = "installed" ]
}

missing=()
for package in "${PACKAGES[@]}"; do
    installed "$package" || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all ${#PACKAGES[@]} packages are installed"
    exit 0
fi

echo "setup: installing ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "setup: not root and no sudo: install ${missing[*]} by hand" >&2
        exit 1
    fi
    sudo=(sudo)
fi
apt() { "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "$@"; }
apt update -q
apt install -y -q --no-install-recommends "${missing[@]}"

for package in "${missing[@]}"; do
    if ! installed "$package"; then
        echo "setup: $package is still missing" >&2
        exit 1
    fi
done
echo "setup: done"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs everything the build, the tests and the tools need on Debian 12.
# Non-interactive and safe to run again.
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    juce-modules-source-data
    libmysofa-dev libcairo2-dev libx11-dev libxtst-dev libpugixml-dev libsndfile1-dev
    libfontconfig1-dev fonts-dejavu-core
    libzita-convolver-dev libfftw3-dev fst-dev libsoxr-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all packages present"
    exit 0
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a fresh machine, builds HalvaneDuo, installs the bundle into ~/.vst3 and renders a demo.
set -euo pipefail
# The demo lands where the user ran the script from, not in the source tree.
caller="$(pwd)"
cd "$(dirname "$0")/.."
repo="$(pwd)"

bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
cmake --install build/release

bundle="${CMAKE_INSTALL_PREFIX:-$HOME/.vst3}/HalvaneDuo.vst3"
echo "HalvaneDuo installed: $bundle"
if [ -x build/release/tools/render/halvane-render ]; then
    cd "$caller"
    "$repo/build/release/tools/render/halvane-render"
fi

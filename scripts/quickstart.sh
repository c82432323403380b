#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a fresh machine, builds HalvaneDuo, installs the bundle into ~/.vst3 and renders a demo.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
cmake --install build/release

bundle="${CMAKE_INSTALL_PREFIX:-$HOME/.vst3}/HalvaneDuo.vst3"
echo "HalvaneDuo installed: $bundle"
if [ -x build/release/tools/render/halvane-render ]; then
    build/release/tools/render/halvane-render
fi

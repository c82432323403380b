#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds and runs the whole test suite: once optimised, once under Address- and
# UndefinedBehaviorSanitizer, then the concurrency tests under ThreadSanitizer.
# Usage: scripts/run-tests.sh [release|asan|tsan|debug]...
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(release asan tsan)

for preset in "${presets[@]}"; do
    echo "== $preset =="
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    # Integration tests open editors under a virtual display. Each test is a process of its
    # own; without -noreset the server resets whenever the last one leaves, and a test that
    # connects meanwhile can lose its connection (SIGPIPE).
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --preset "$preset"
done

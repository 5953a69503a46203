#!/usr/bin/env bash
# Installs what the game and its tests need, builds everything and runs every
# test with ctest on a virtual X display (Mesa's software OpenGL).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh --tests
cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-tests -j "$(nproc)"
xvfb-run -a -s "-screen 0 1920x1080x24" \
  ctest --test-dir build-tests --output-on-failure -j "$(nproc)" --timeout 900

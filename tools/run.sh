#!/usr/bin/env bash
# Installs what the game needs, builds it and starts it from its build folder
# (the game reads the data/ folder beside it and keeps its scores in the
# player's folder, ~/.local/share/kestrel-quillons).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKQ_BUILD_TESTS=OFF
cmake --build build --target kestrel-quillons
cd build
exec ./kestrel-quillons

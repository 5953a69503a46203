#!/usr/bin/env bash
# Installs what the game and its tests need, builds everything, makes the
# Debian package and checks what it holds, and runs every test with ctest on
# a virtual X display (Mesa's software OpenGL).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh --tests
cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKQ_CCACHE=ON
cmake --build build-tests -j "$(nproc)"

# The package: its dependencies worked out from the binary, and its files.
rm -f build-tests/kestrel-quillons_*.deb
(cd build-tests && cpack -G DEB > cpack.log) || { cat build-tests/cpack.log; exit 1; }
deb=$(echo build-tests/kestrel-quillons_*_amd64.deb)
dpkg-deb -I "$deb"
dpkg-deb -c "$deb" > build-tests/deb-files.txt
for f in ./usr/bin/kestrel-quillons ./usr/share/kestrel-quillons/data/vexa_font.png \
         ./usr/share/applications/kestrel-quillons.desktop ./usr/share/doc/kestrel-quillons/LICENSE \
         ./usr/share/icons/hicolor/256x256/apps/kestrel-quillons.png; do
  grep -q " $f\$" build-tests/deb-files.txt || { echo "the package lacks $f"; exit 1; }
done
dpkg-deb -f "$deb" Depends | grep -q libglfw3 || { echo "the package does not depend on GLFW"; exit 1; }
echo "$deb: $(wc -l < build-tests/deb-files.txt) entries"

# -noreset: Xvfb otherwise resets whenever its last client has left, and
# refuses connections while it does.
xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" \
  ctest --test-dir build-tests --output-on-failure -j "$(nproc)" --timeout 900

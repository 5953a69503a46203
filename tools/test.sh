#!/usr/bin/env bash
# Installs what the game and its tests need, builds everything, makes the
# Debian package and checks what it holds, and runs every test with ctest on
# a virtual X display (Mesa's software OpenGL).
#   bash tools/test.sh             the suite, built into build-tests/
#   bash tools/test.sh --sanitize  the suite under AddressSanitizer and UBSan,
#                                  built into build-sanitize/ (no package)
# CXX=clang++ builds with clang instead of the system's GCC.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-tests
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKQ_CCACHE=ON)
sanitize=0
if [ "${1:-}" = "--sanitize" ]; then
  build=build-sanitize
  sanitize=1
  options+=(-DKQ_SANITIZE=ON)
  # Every finding fails its test. Leaks are not checked here: the collector
  # tests and every scenario start the collector afresh, dropping what the
  # previous one held on purpose (the fuzz targets do check for leaks;
  # tools/lsan.supp lists the system libraries to pass over when checking).
  export ASAN_OPTIONS="detect_leaks=0:strict_string_checks=1:detect_stack_use_after_return=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
elif [ -n "${1:-}" ]; then
  echo "usage: bash tools/test.sh [--sanitize]" >&2
  exit 2
fi
# A compiler named in CXX or CC is the one the build folder uses, even when it
# was configured with another one before.
if [ -n "${CXX:-}" ]; then options+=("-DCMAKE_CXX_COMPILER=$CXX"); fi
if [ -n "${CC:-}" ]; then options+=("-DCMAKE_C_COMPILER=$CC"); fi
bash tools/install-deps.sh --tests
cmake -S . -B "$build" -G Ninja "${options[@]}"
cmake --build "$build" -j "$(nproc)"

if [ "$sanitize" = 0 ]; then
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
fi

# -noreset: Xvfb otherwise resets whenever its last client has left, and
# refuses connections while it does.
xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" \
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 900

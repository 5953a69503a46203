#!/usr/bin/env bash
# Installs the Debian packages that building and running the game need;
# with --tests also what the test suite needs (virtual display, software GL,
# GoogleTest, OpenAL's file backend is part of libopenal1, reference audio files,
# the compiler cache, the desktop entry and AppStream validators, dpkg-dev
# for the package's dependencies); with --fuzz what the fuzz targets need
# (clang and its libFuzzer). A build with CXX=clang++ gets clang and its
# sanitizer runtimes too.
set -euo pipefail
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
pkgs=(build-essential cmake ninja-build pkg-config libglfw3-dev libgl-dev libopenal-dev libstb-dev libvorbis-dev)
case "${1:-}" in
  # The renderer benchmark compares against SDL2; the game never links it.
  --tests) pkgs+=(googletest libgtest-dev libx11-dev xvfb xauth libgl1-mesa-dri xdotool alsa-utils
                  sound-theme-freedesktop ccache desktop-file-utils appstream dpkg-dev libsdl2-dev) ;;
  --fuzz) pkgs+=(clang libclang-rt-dev ccache) ;;
esac
case "${CXX:-}" in
  *clang*) pkgs+=(clang libclang-rt-dev) ;;
esac
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${missing[@]}"
fi

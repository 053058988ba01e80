#!/usr/bin/env bash
# Remakes the pictures of the player's guide in docs/guide/: screenshots of the
# real windows drawn offscreen through a short game on the bundled map with a
# fixed random seed, the political map as each standing of lord sees it in
# that game, and the colour swatches of the map legend, all lossless 24-bit
# PNG. Fails when a map picture, a map inside a window or a swatch holds a
# colour the game's map never draws. Also prints the facts of the map and the
# messages of that game, which the guide quotes.
# Usage: tools/make-guide-pictures.sh [<build folder>]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DMARCHFELL_TESTS=OFF -DMARCHFELL_BENCH=OFF >/dev/null
fi
nice -n 10 cmake --build "$build" -j2 --target make_guide_pictures
# A scratch home, so that the settings of a first run are used and the
# player's own are left alone.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p docs/guide
HOME="$home" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 \
  "$build/tools/make_guide_pictures" docs/guide assets/maps/base.bmp

#!/usr/bin/env bash
# Remakes the bundled maps and pictures in assets/ from the generators in
# tools/. The generators are seeded, so an unchanged generator gives the same
# files. Usage: tools/remake-assets.sh [<build folder>] [<preview folder>]
# A preview folder, when given, receives tinted PNG views of the maps.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
preview=${2:-}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DMARCHFELL_TESTS=OFF -DMARCHFELL_BENCH=OFF >/dev/null
fi
ninja -C "$build" -j2 make_maps make_art
mkdir -p assets/maps assets/pictures
if [ -n "$preview" ]; then
  mkdir -p "$preview"
  "$build/tools/make_maps" assets/maps "$preview"
else
  "$build/tools/make_maps" assets/maps
fi
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/tools/make_art" assets

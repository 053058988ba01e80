#!/usr/bin/env bash
# Builds the Windows version of Marchfell on Debian 12 with MinGW-w64 and makes
# dist/marchfell-<version>-win64.zip.
#
# The first run fetches the sources of Qt base, libjpeg-turbo and GoogleTest
# (Debian source packages) and cross-builds them into a cache folder outside
# the tree: ${MARCHFELL_WIN_CACHE:-$HOME/.cache/marchfell-win}. This takes most
# of an hour on two cores; later runs reuse the cache and only build the game.
#
#   tools/windows/build.sh          libraries (if missing), game, tests, zip
#   tools/windows/build.sh libs     only the libraries in the cache
#
# Environment: MARCHFELL_WIN_CACHE (cache folder), MARCHFELL_WIN_JOBS (build
# jobs, default: number of cores), MARCHFELL_WIN_BUILD (game build folder,
# default build-win64 in the tree).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cache="${MARCHFELL_WIN_CACHE:-$HOME/.cache/marchfell-win}"
prefix="$cache/prefix"
jobs="${MARCHFELL_WIN_JOBS:-$(nproc 2>/dev/null || echo 2)}"
toolchain="$here/mingw-w64.cmake"
export MARCHFELL_WIN_CACHE="$cache"
mkdir -p "$cache/src" "$prefix"

log() { echo "== $*"; }

# --- packages --------------------------------------------------------------
need_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
}

need_source_lines() {
  # apt-get source needs deb-src lines; add bookworm's when none are present.
  if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    log "adding deb-src lines for bookworm"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo tee /etc/apt/sources.list.d/marchfell-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    $sudo apt-get update -q
  fi
}

need_packages g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 \
  wine64 wine zip unzip cmake ninja-build dpkg-dev googletest \
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-translations-l10n \
  fonts-liberation fonts-dejavu-core

# --- sources ---------------------------------------------------------------
fetch_source() { # <source package> <directory glob>
  local dir
  dir=$(cd "$cache/src" && ls -d $2 2>/dev/null | head -n1 || true)
  if [ -z "$dir" ]; then
    need_source_lines
    log "fetching source of $1"
    (cd "$cache/src" && apt-get source -q "$1")
    dir=$(cd "$cache/src" && ls -d $2 | head -n1)
  fi
  echo "$cache/src/$dir"
}

# --- Qt base ---------------------------------------------------------------
build_qt() {
  [ -f "$cache/stamp-qt" ] && return 0
  local src
  src=$(fetch_source qt6-base 'qt6-base-6.*/')
  # Qt 6.4 builds its DirectWrite font database into Gui only along with
  # Direct2D, but the windows plugin refers to it whenever DirectWrite 3 is
  # there: with Direct2D off, name Direct2D in the plugin's test as well. The
  # plugin's default font database (GDI) is unaffected.
  sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$src/src/plugins/platforms/windows/qwindowsintegration.cpp"
  log "configuring Qt base for Windows ($src)"
  # Only Core, Gui, Widgets, Test, OpenGL and the windows and offscreen platform
  # plugins are wanted. Qt's own copies of zlib, libpng, freetype, harfbuzz and
  # pcre2 are used (the system_* features would find the Linux ones). Debian's
  # source lacks wintab.h, hence no tablet events; the windows plugin needs
  # desktop OpenGL.
  cmake -S "$src" -B "$cache/build-qt" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DQT_GENERATE_SBOM=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF \
    -DFEATURE_system_libb2=OFF -DFEATURE_system_md4c=OFF -DFEATURE_system_sqlite=OFF \
    -DFEATURE_vulkan=OFF -DFEATURE_egl=OFF -DFEATURE_opengles2=OFF \
    -DFEATURE_opengl=ON -DFEATURE_opengl_desktop=ON -DFEATURE_opengl_dynamic=OFF \
    -DFEATURE_icu=OFF -DFEATURE_fontconfig=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_glib=OFF -DFEATURE_dbus=OFF -DFEATURE_openssl=OFF \
    -DFEATURE_zstd=OFF -DFEATURE_brotli=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_direct2d=OFF \
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF \
    -DFEATURE_openglwidgets=OFF
  log "building Qt base (long)"
  cmake --build "$cache/build-qt" --parallel "$jobs"
  cmake --install "$cache/build-qt"
  touch "$cache/stamp-qt"
}

# --- libjpeg-turbo ---------------------------------------------------------
build_jpeg() {
  [ -f "$cache/stamp-jpeg" ] && return 0
  local src
  src=$(fetch_source libjpeg-turbo 'libjpeg-turbo-*/')
  log "building libjpeg-turbo for Windows"
  cmake -S "$src" -B "$cache/build-jpeg" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON
  cmake --build "$cache/build-jpeg" --parallel "$jobs"
  cmake --install "$cache/build-jpeg"
  touch "$cache/stamp-jpeg"
}

# --- GoogleTest ------------------------------------------------------------
build_gtest() {
  [ -f "$cache/stamp-gtest" ] && return 0
  log "building GoogleTest for Windows"
  cmake -S /usr/src/googletest -B "$cache/build-gtest" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=ON
  cmake --build "$cache/build-gtest" --parallel "$jobs"
  cmake --install "$cache/build-gtest"
  touch "$cache/stamp-gtest"
}

# --- MinGW's runtime beside Qt's DLLs --------------------------------------
mingw_dll_dirs=(/usr/lib/gcc/x86_64-w64-mingw32/*-posix /usr/x86_64-w64-mingw32/lib)
copy_runtime() {
  local dll dir
  for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    [ -f "$prefix/bin/$dll" ] && continue
    for dir in "${mingw_dll_dirs[@]}"; do
      if [ -f "$dir/$dll" ]; then cp "$dir/$dll" "$prefix/bin/"; break; fi
    done
  done
}

# Qt's Russian words (message-box buttons) and, for the offscreen platform,
# which draws text with FreeType from Qt's own font folder, the fonts the
# game asks for: the same files the Linux build uses.
copy_words_and_fonts() {
  mkdir -p "$prefix/translations" "$prefix/lib/fonts"
  cp -u /usr/share/qt6/translations/qtbase_ru.qm "$prefix/translations/"
  cp -u /usr/share/fonts/truetype/liberation/LiberationSans-*.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf \
    "$prefix/lib/fonts/"
}

build_qt
build_jpeg
build_gtest
copy_runtime
copy_words_and_fonts
[ "${1:-}" = libs ] && { log "libraries ready in $prefix"; exit 0; }

# --- the game and its tests --------------------------------------------------
# Test discovery runs each test program under Wine while building: it needs a
# Wine prefix of its own and the DLLs on Wine's path.
source "$here/wine-env.sh"
build="${MARCHFELL_WIN_BUILD:-$root/build-win64}"
log "building Marchfell for Windows in $build"
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release \
  -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DMARCHFELL_BENCH=OFF
# One Wine server for all of test discovery, its services started here so
# that they hold no discovery's output open.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
cmake --build "$build" --parallel "$jobs"
wineserver -k 2>/dev/null || true

# --- the zip -----------------------------------------------------------------
version=$(sed -n 's/^project(Marchfell VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
name="marchfell-$version-win64"
stage="$build/zip/$name"
log "making dist/$name.zip"
rm -rf "$build/zip"
cmake --install "$build" --prefix "$stage" >/dev/null
mkdir -p "$stage/platforms" "$stage/styles"
cp "$prefix/plugins/platforms/qwindows.dll" "$prefix/plugins/platforms/qoffscreen.dll" "$stage/platforms/"
for style in "$prefix"/plugins/styles/*.dll; do [ -f "$style" ] && cp "$style" "$stage/styles/"; done
rmdir "$stage/styles" 2>/dev/null || true

# The DLLs the program and its plugins import, and theirs in turn, found
# among Qt's and MinGW's; Windows' own (KERNEL32.dll and the like) are left.
find_dll() {
  local dir hit
  for dir in "$prefix/bin" "${mingw_dll_dirs[@]}"; do
    hit=$(find "$dir" -maxdepth 1 -iname "$1" 2>/dev/null | head -n1)
    [ -n "$hit" ] && { echo "$hit"; return 0; }
  done
  return 1
}
queue=("$stage/marchfell.exe" "$stage"/platforms/*.dll)
[ -d "$stage/styles" ] && queue+=("$stage"/styles/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
  file="${queue[0]}"
  queue=("${queue[@]:1}")
  for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p' | tr -d '\r'); do
    [ -e "$stage/$dll" ] && continue
    if path=$(find_dll "$dll"); then
      cp "$path" "$stage/$dll"
      queue+=("$stage/$dll")
    fi
  done
done
# MinGW's runtime comes with its debugging symbols; players need none.
find "$stage" -iname '*.dll' -o -iname '*.exe' | xargs x86_64-w64-mingw32-strip --strip-unneeded
# Qt's folders (translations, the offscreen platform's fonts) under the
# program's own folder rather than where Qt was built.
mkdir -p "$stage/translations"
cp "$prefix/translations/qtbase_ru.qm" "$stage/translations/"
printf '[Paths]\r\nPrefix = .\r\n' > "$stage/qt.conf"
# Notepad's way: UTF-8 with a byte-order mark, lines ending in CR LF.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' "$here/README.txt"; } > "$stage/README.txt"
mkdir -p "$root/dist"
rm -f "$root/dist/$name.zip"
(cd "$build/zip" && zip -qr "$root/dist/$name.zip" "$name")
log "done: dist/$name.zip ($(ls "$stage"/*.dll | wc -l) DLLs)"

#!/usr/bin/env bash
# Builds the Windows version of Marchfell on Debian 12 with MinGW-w64 and makes
# dist/marchfell-<version>-win64.zip.
#
# The first run fetches the sources of Qt base and libjpeg-turbo (Debian source
# packages, the versions installed on this machine) and cross-builds them and
# GoogleTest into a cache folder outside the tree:
# ${MARCHFELL_WIN_CACHE:-$HOME/.cache/marchfell-win}. This takes an hour or
# more on two cores; later runs reuse the cache and only build the game. Each
# library's stamp in the cache names the versions it was built from (its own,
# MinGW's, and the build steps below); a library whose stamp no longer matches
# is removed and built again.
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
mingw=x86_64-w64-mingw32
export MARCHFELL_WIN_CACHE="$cache"
mkdir -p "$cache/src" "$prefix"

# Messages go to standard error: several functions below print their result
# on standard output for the caller to capture.
log() { echo "== $*" >&2; }
die() { echo "build.sh: $*" >&2; exit 1; }

# --- packages --------------------------------------------------------------
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
apt_get() { DEBIAN_FRONTEND=noninteractive as_root apt-get -q -o DPkg::Lock::Timeout=600 "$@" >&2; }

need_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing ${missing[*]}"
  apt_get update
  apt_get install -y "${missing[@]}"
}

need_source_lines() {
  # apt-get source needs deb-src lines; add bookworm's when none are present.
  if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    log "adding deb-src lines for bookworm"
    as_root tee /etc/apt/sources.list.d/marchfell-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    apt_get update
  fi
}

need_packages g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 \
  wine64 wine zip unzip cmake ninja-build dpkg-dev googletest libjpeg62-turbo-dev \
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-translations-l10n \
  fonts-liberation fonts-dejavu-core

# --- versions --------------------------------------------------------------
# Qt for Windows is built from the very version of the host's Qt, whose tools
# (moc, uic, rcc) the cross-build uses; libjpeg-turbo and GoogleTest from the
# versions the Linux build uses.
installed() { # <package> <field>
  local value
  value=$(dpkg-query -W -f="\${$2}" "$1" 2>/dev/null) && [ -n "$value" ] || die "package $1 is not installed"
  echo "$value"
}
qt_version=$(installed qt6-base-dev source:Version)
jpeg_version=$(installed libjpeg62-turbo-dev source:Version)
gtest_version=$(installed googletest Version)
mingw_version="g++ $(installed g++-mingw-w64-x86-64-posix Version), runtime $(installed mingw-w64-x86-64-dev Version)"

# --- sources ---------------------------------------------------------------
# The folder apt-get source unpacks <package>=<version> into: the package's
# name and the upstream version, without epoch and Debian revision. Each
# version is fetched into a folder of its own, so that no other version's
# folder can be taken for it.
source_dir() { # <source package> <version>
  local v="${2#*:}"
  echo "$cache/src/$1_$v/$1-${v%-*}"
}

fetch_source() { # <source package> <version>; prints the unpacked folder
  local dir into
  dir=$(source_dir "$1" "$2")
  into=$(dirname "$dir")
  if [ ! -f "$into/.fetched" ]; then
    need_source_lines
    log "fetching source of $1 $2"
    rm -rf "$into"
    mkdir -p "$into"
    (cd "$into" && apt-get source -q "$1=$2") >&2 || die "apt-get source $1=$2 failed"
    [ -d "$dir" ] || die "apt-get source $1=$2 unpacked no folder $dir"
    touch "$into/.fetched"
  fi
  echo "$dir"
}

# --- stamps ----------------------------------------------------------------
# A library's stamp: what it was built from. Its build steps count too, so
# that changed configure options rebuild it.
stamp_text() { # <library> <version>
  printf '%s %s\nmingw %s\nsteps %s\n' "$1" "$2" "$mingw_version" \
    "$(declare -f "build_$1" | sha1sum | cut -d' ' -f1)"
}

# True when the library is built from what is asked for; otherwise removes
# its old build and every file its old install put into the prefix.
up_to_date() { # <library> <version>
  local stamp="$cache/stamp-$1" build="$cache/build-$1" file
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(stamp_text "$1" "$2")" ]; then return 0; fi
  if [ -f "$build/install_manifest.txt" ]; then
    log "removing the $1 built from: $(tr '\n' ' ' 2>/dev/null <"$stamp" || echo unknown)"
    while IFS= read -r file; do rm -f -- "$file"; done <"$build/install_manifest.txt"
  fi
  rm -rf "$build" "$stamp"
  return 1
}

stamp() { stamp_text "$1" "$2" >"$cache/stamp-$1"; }

# --- Qt base ---------------------------------------------------------------
build_qt() {
  local src
  src=$(fetch_source qt6-base "$qt_version")
  # Qt 6.4 builds its DirectWrite font database into Gui only along with
  # Direct2D, but the windows plugin refers to it whenever DirectWrite 3 is
  # there: with Direct2D off, name Direct2D in the plugin's test as well. The
  # plugin's default font database (GDI) is unaffected.
  sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$src/src/plugins/platforms/windows/qwindowsintegration.cpp"
  log "configuring Qt base $qt_version for Windows ($src)"
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
    -DFEATURE_openglwidgets=OFF >&2
  log "building Qt base (long)"
  cmake --build "$cache/build-qt" --parallel "$jobs" >&2
  cmake --install "$cache/build-qt" >&2
}

# --- libjpeg-turbo ---------------------------------------------------------
build_jpeg() {
  local src
  src=$(fetch_source libjpeg-turbo "$jpeg_version")
  log "building libjpeg-turbo $jpeg_version for Windows"
  cmake -S "$src" -B "$cache/build-jpeg" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON >&2
  cmake --build "$cache/build-jpeg" --parallel "$jobs" >&2
  cmake --install "$cache/build-jpeg" >&2
}

# --- GoogleTest ------------------------------------------------------------
build_gtest() {
  local src=/usr/src/googletest
  [ -f "$src/CMakeLists.txt" ] || die "no GoogleTest sources in $src"
  log "building GoogleTest $gtest_version for Windows"
  cmake -S "$src" -B "$cache/build-gtest" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=ON >&2
  cmake --build "$cache/build-gtest" --parallel "$jobs" >&2
  cmake --install "$cache/build-gtest" >&2
}

# --- MinGW's runtime beside Qt's DLLs --------------------------------------
# The DLLs of the compiler in use, found where it finds them itself; copied
# every run, so that a changed MinGW never leaves the old ones behind.
runtime_dlls=(libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
runtime_dll() { # <dll>; prints its path
  local path
  path=$(realpath -s "$("$mingw-g++-posix" -print-file-name="$1")")
  [ -f "$path" ] || die "MinGW has no $1"
  echo "$path"
}
copy_runtime() {
  local dll
  for dll in "${runtime_dlls[@]}"; do cp -f "$(runtime_dll "$dll")" "$prefix/bin/"; done
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

# Qt first: a new Qt or MinGW can change what the others build against.
up_to_date qt "$qt_version" || { build_qt; stamp qt "$qt_version"; }
up_to_date jpeg "$jpeg_version" || { build_jpeg; stamp jpeg "$jpeg_version"; }
up_to_date gtest "$gtest_version" || { build_gtest; stamp gtest "$gtest_version"; }
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
# The version CMake took from project(): the same that names the Debian package.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || die "no project version in $build/CMakeCache.txt"
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
# Those taken from MinGW are remembered for their licences.
mingw_dll_dirs=()
for dll in "${runtime_dlls[@]}"; do
  path=$(runtime_dll "$dll")
  mingw_dll_dirs+=("$(dirname "$path")")
done
find_dll() { # <dll>; prints its path
  local dir hit
  for dir in "$prefix/bin" "${mingw_dll_dirs[@]}"; do
    hit=$(find "$dir" -maxdepth 1 -iname "$1" -print -quit 2>/dev/null)
    [ -n "$hit" ] && { echo "$hit"; return 0; }
  done
  return 1
}
from_mingw=()
queue=("$stage/marchfell.exe" "$stage"/platforms/*.dll)
[ -d "$stage/styles" ] && queue+=("$stage"/styles/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
  file="${queue[0]}"
  queue=("${queue[@]:1}")
  while IFS= read -r dll; do
    [ -e "$stage/$dll" ] && continue
    if path=$(find_dll "$dll"); then
      cp "$path" "$stage/$dll"
      queue+=("$stage/$dll")
      [[ "$path" == "$prefix/"* ]] || from_mingw+=("$path")
    fi
  done < <("$mingw-objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p' | tr -d '\r')
done
# MinGW's runtime comes with its debugging symbols; players need none.
find "$stage" \( -iname '*.dll' -o -iname '*.exe' \) -exec "$mingw-strip" --strip-unneeded {} +
# Qt's folders (translations, the offscreen platform's fonts) under the
# program's own folder rather than where Qt was built.
mkdir -p "$stage/translations"
cp "$prefix/translations/qtbase_ru.qm" "$stage/translations/"
printf '[Paths]\r\nPrefix = .\r\n' > "$stage/qt.conf"

# Notepad's way: UTF-8 with a byte-order mark, lines ending in CR LF.
notepad_text() { { printf '\xef\xbb\xbf'; sed 's/\r$//; s/$/\r/' "$1"; } }
notepad_text "$here/README.txt" > "$stage/README.txt"

# --- licences ----------------------------------------------------------------
# The game's own licence beside the program; in licences\ its copyright
# statement and those of everything else the zip holds, each as its Debian package
# gives it: Qt and libjpeg-turbo (built into the program) from the source
# packages they were built from, MinGW's runtime and Qt's Russian words from
# the packages that installed them; then the licence texts those statements
# name in /usr/share/common-licenses.
notepad_text "$root/LICENSE" > "$stage/LICENSE.txt"
licences="$stage/licences"
mkdir -p "$licences/common-licenses"
add_licence() { # <name> <copyright file>
  [ -f "$2" ] || die "no copyright file $2"
  notepad_text "$2" > "$licences/$1.txt"
}
package_of() { # <installed file>; prints the Debian package holding it
  local owner
  owner=$(dpkg-query -S "$1" | head -n1) || die "no package holds $1"
  owner="${owner%%: *}"
  echo "${owner%%:*}"
}
add_licence marchfell "$root/assets/copyright"
add_licence qt6-base "$(source_dir qt6-base "$qt_version")/debian/copyright"
add_licence libjpeg-turbo "$(source_dir libjpeg-turbo "$jpeg_version")/debian/copyright"
add_licence qt6-translations /usr/share/doc/qt6-translations-l10n/copyright
# The startup code every MinGW program carries, and MinGW's DLLs shipped: its
# runtime (copied beside Qt's) and any other found in MinGW's folders.
crt_packages=(mingw-w64-x86-64-dev)
for dll in "${runtime_dlls[@]}"; do
  if [ -e "$stage/$dll" ]; then
    path=$(runtime_dll "$dll")
    from_mingw+=("$path")
  fi
done
for path in "${from_mingw[@]}"; do
  package=$(package_of "$path")
  crt_packages+=("$package")
done
while IFS= read -r package; do
  add_licence "$package" "/usr/share/doc/$package/copyright"
done < <(printf '%s\n' "${crt_packages[@]}" | sort -u)
grep -ho '/usr/share/common-licenses/[A-Za-z0-9][A-Za-z0-9.+_-]*' "$licences"/*.txt | sed 's/\.$//' | sort -u |
  while IFS= read -r text; do
    [ -f "$text" ] || die "$text, named by a copyright file, is missing"
    notepad_text "$text" > "$licences/common-licenses/$(basename "$text").txt"
  done

mkdir -p "$root/dist"
rm -f "$root/dist/$name.zip"
(cd "$build/zip" && zip -qr "$root/dist/$name.zip" "$name")
log "done: dist/$name.zip ($(find "$stage" -maxdepth 1 -iname '*.dll' | wc -l) DLLs)"

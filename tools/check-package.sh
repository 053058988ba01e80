#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it without
# installing it: its control fields, its contents, the desktop entry and the
# AppStream file; then unpacks it into a scratch root and starts the unpacked
# program offscreen to prove that it finds the map bundled beside it.
# Usage: tools/check-package.sh [<build folder>]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

fail() { echo "check-package: $*" >&2; exit 1; }

cmake --build "$build" --target package >/dev/null
version=$(sed -n 's/^project(Marchfell VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
arch=$(dpkg --print-architecture)
deb="$build/marchfell_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no package $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = marchfell ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
# Dependencies come from the program's own libraries, and Qt's Russian words.
depends=$(field Depends)
for lib in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo qt6-translations-l10n; do
  grep -q "\b$lib\b" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in \
    ./usr/games/marchfell \
    ./usr/share/games/marchfell/maps/base.bmp \
    ./usr/share/games/marchfell/maps/two.bmp \
    ./usr/share/games/marchfell/maps/twenty.bmp \
    ./usr/share/games/marchfell/pictures/startmenu.bmp \
    ./usr/share/games/marchfell/pictures/author.jpg \
    ./usr/share/games/marchfell/pictures/marchfell.png \
    ./usr/share/applications/marchfell.desktop \
    ./usr/share/mime/packages/marchfell.xml \
    ./usr/share/icons/hicolor/256x256/apps/marchfell.png \
    ./usr/share/metainfo/example.tarvold.marchfell.metainfo.xml \
    ./usr/share/man/man6/marchfell.6.gz \
    ./usr/share/doc/marchfell/guide.md; do
  grep -qxF "$path" <<<"$contents" || fail "package lacks $path"
done
# Nothing of the build tree or of the plain install layout slips in.
if grep -E '^\./usr/(bin|local)/|^\./usr/share/marchfell/' <<<"$contents"; then
  fail "files outside the games layout"
fi

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

desktop-file-validate "$root/usr/share/applications/marchfell.desktop"
# Saved games open with the game: the entry takes a file of the type the package defines.
grep -qxF 'MimeType=application/x-marchfell-save;' "$root/usr/share/applications/marchfell.desktop" ||
  fail "the desktop entry opens no saved games"
grep -q '<mime-type type="application/x-marchfell-save">' "$root/usr/share/mime/packages/marchfell.xml" &&
  grep -q '<glob pattern="\*\.mcs"/>' "$root/usr/share/mime/packages/marchfell.xml" ||
  fail "the package defines no type for *.mcs"
appstreamcli validate --no-net "$root/usr/share/metainfo/example.tarvold.marchfell.metainfo.xml" >/dev/null ||
  appstreamcli validate --no-net "$root/usr/share/metainfo/example.tarvold.marchfell.metainfo.xml"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/example.tarvold.marchfell.metainfo.xml" ||
  fail "the AppStream file names no release $version"
zcat "$root/usr/share/man/man6/marchfell.6.gz" | grep -q '^\.TH MARCHFELL 6' || fail "no manual page in section 6"

# The unpacked program, started once on a fresh account, stores the map it
# found as the current map: it must be the one unpacked beside it.
home="$root/home"
mkdir -p "$home/.config"
set +e
HOME="$home" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen \
  timeout 5 "$root/usr/games/marchfell" >/dev/null 2>&1
status=$?
set -e
# The program runs until its window is closed; timeout stops it (124).
[ "$status" -eq 124 ] || fail "the unpacked program stopped with status $status"
conf="$home/.config/Tarvold/Marchfell.conf"
[ -f "$conf" ] || fail "the unpacked program wrote no settings"
grep -qxF "CurrentPathToMap=$root/usr/share/games/marchfell/maps/base.bmp" "$conf" ||
  fail "the unpacked program does not find its map: $(grep PathToMap "$conf")"
echo "check-package: $deb is sound"

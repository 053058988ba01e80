#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it without
# installing it: Debian's own checker (lintian) finds no fault in it, its
# control fields, its contents, the desktop entry and the AppStream file are
# sound, and one version number runs through the package, its changelog, the
# AppStream release and the manual page; then unpacks it into a scratch root
# and starts the unpacked program offscreen to prove that it finds the map
# bundled beside it, and on a virtual display to see its guide window open.
# Usage: tools/check-package.sh [<build folder>]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

fail() { echo "check-package: $*" >&2; exit 1; }

cmake --build "$build" --target package >/dev/null
# The version CMake took from project().
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"
arch=$(dpkg --print-architecture)
deb="$build/marchfell_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no package $deb"

# Every tag lintian knows, down to its informational notes (hardening, the
# sections a stripped program should not carry), except the pedantic ones.
lintian --display-info --fail-on error,warning,info "$deb" || fail "lintian finds faults in $deb (above)"

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

# The file names alone, whatever characters they hold.
contents=$(dpkg-deb --fsys-tarfile "$deb" | tar -t)
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
    ./usr/share/doc/marchfell/copyright \
    ./usr/share/doc/marchfell/changelog.gz \
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
metainfo="$root/usr/share/metainfo/example.tarvold.marchfell.metainfo.xml"
appstreamcli validate --no-net "$metainfo" >/dev/null || appstreamcli validate --no-net "$metainfo"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "the AppStream file names no licence"
zcat "$root/usr/share/man/man6/marchfell.6.gz" | grep -q '^\.TH MARCHFELL 6' || fail "no manual page in section 6"

# One version everywhere: the package's, its changelog's newest entry, the
# AppStream release and the manual page's.
zcat "$root/usr/share/doc/marchfell/changelog.gz" >"$root/changelog"
for found in \
    "changelog $(dpkg-parsechangelog -l "$root/changelog" -S Version)" \
    "AppStream $(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n1)" \
    "manual $(zcat "$root/usr/share/man/man6/marchfell.6.gz" | sed -n 's/^\.TH MARCHFELL 6 "[^"]*" "Marchfell \([^"]*\)".*/\1/p')"; do
  [ "${found#* }" = "$version" ] || fail "the ${found%% *} names version '${found#* }', the package $version"
done

# Starts the unpacked program offscreen on a fresh account of its own, for
# <seconds>, with any further arguments; $home is that account's folder. The
# program runs until its window is closed; timeout stops it (124).
run_unpacked() { # <seconds> [arguments...]
  local seconds=$1 status
  shift
  home=$(mktemp -d -p "$root" home.XXXX)
  mkdir -p "$home/.config"
  set +e
  HOME="$home" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen \
    timeout "$seconds" "$root/usr/games/marchfell" "$@" >"$home/run.log" 2>&1
  status=$?
  set -e
  [ "$status" -eq 124 ] || { cat "$home/run.log" >&2; fail "the unpacked program stopped with status $status"; }
}

# Started once on a fresh account, it stores the map it found as the current
# map: it must be the one unpacked beside it.
run_unpacked 5
conf="$home/.config/Tarvold/Marchfell.conf"
[ -f "$conf" ] || fail "the unpacked program wrote no settings"
grep -qxF "CurrentPathToMap=$root/usr/share/games/marchfell/maps/base.bmp" "$conf" ||
  fail "the unpacked program does not find its map: $(grep PathToMap "$conf")"

# The launcher's "Руководство" (marchfell --guide) opens the guide the program
# carries: its window shows on a virtual display, as a player would see it.
# The display is our own Xvfb, which picks a free number and writes it only
# once it accepts clients, so a loaded host or another display starting beside
# it cannot leave the program without a screen; a miss is tried once more on a
# new display before it counts.
guide_shows() {
  local fifo display xpid pid shown=""
  home=$(mktemp -d -p "$root" home.XXXX)
  fifo="$home/display"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$fifo" >"$home/xvfb.log" 2>&1 & xpid=$!
  display=$(timeout 30 head -n1 "$fifo" || true)
  if [ -n "$display" ]; then
    HOME="$home" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=xcb DISPLAY=":$display" \
      "$root/usr/games/marchfell" --guide >"$home/guide.log" 2>&1 & pid=$!
    for _ in $(seq 1 150); do
      DISPLAY=":$display" xdotool search --onlyvisible --name "^Руководство\$" >/dev/null 2>&1 && { shown=yes; break; }
      kill -0 $pid 2>/dev/null || break
      sleep 0.2
    done
    kill $pid 2>/dev/null; wait $pid 2>/dev/null || true
  fi
  kill $xpid 2>/dev/null; wait $xpid 2>/dev/null || true
  [ -n "$shown" ] || { cat "$home/xvfb.log" "$home/guide.log" >&2 2>/dev/null; return 1; }
}
guide_shows || { echo "check-package: the guide window did not show; once more on a new display" >&2; guide_shows; } ||
  fail "the unpacked program's guide window did not show"
echo "check-package: $deb is sound"

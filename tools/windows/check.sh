#!/usr/bin/env bash
# Checks the Windows build made by tools/windows/build.sh, under Wine:
#  1. every test program of the Windows build, run by CTest on the offscreen
#     platform (the registry tests use a scratch key, never the game's own);
#  2. the zip, unpacked into a fresh Wine prefix: it holds the licences, the
#     program starts, shows its start menu, creates the player's settings key
#     (HKEY_CURRENT_USER, nothing for the whole machine) with the fourteen
#     values and finds the map it brings along; a second start keeps the key
#     as it is; "marchfell.exe --guide" shows the guide window.
# Exits non-zero on any failure.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cache="${MARCHFELL_WIN_CACHE:-$HOME/.cache/marchfell-win}"
prefix="$cache/prefix"
build="${MARCHFELL_WIN_BUILD:-$root/build-win64}"
jobs="${MARCHFELL_WIN_JOBS:-$(nproc 2>/dev/null || echo 2)}"
[ -f "$build/CMakeCache.txt" ] || { echo "run tools/windows/build.sh first" >&2; exit 1; }
# The version the build took from project(), which names the zip.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip="$root/dist/marchfell-$version-win64.zip"
[ -f "$build/CTestTestfile.cmake" ] && [ -f "$zip" ] || { echo "run tools/windows/build.sh first" >&2; exit 1; }

# ---------------------------------------------------------------- 1. the tests
source "$here/wine-env.sh"
echo "== the Windows tests under Wine ($WINEPREFIX)"
# One Wine server for the whole run, rather than one started and stopped
# around each test program.
# Its own services start with the first program and live as long as it:
# start them here, so that they hold no test's output open.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
tests_failed=0
ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 600 || tests_failed=1
# What was skipped on Windows, and why.
echo "== skipped on Windows:"
grep -h -A1 ": Skipped$" "$build/Testing/Temporary/LastTest.log" 2>/dev/null | grep -v "Skipped$\|^--" | sort | uniq -c || true
wineserver -k 2>/dev/null || true

# ------------------------------------------------------ 2. the zip, from scratch
scratch=$(mktemp -d)
export WINEPREFIX="$scratch/wine"
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM
cleanup() { WINEPREFIX="$scratch/wine" wineserver -k 2>/dev/null || true; rm -rf "$scratch"; }
trap cleanup EXIT
echo "== the zip in a fresh Wine prefix ($WINEPREFIX)"
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1 || true
# Wine's display-less driver, so that the Windows platform plugin can make
# real windows without an X server; it takes effect once Wine restarts.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
wineserver -k 2>/dev/null || true
wineserver -w || true
games="$WINEPREFIX/drive_c/Games"
mkdir -p "$games"
(cd "$games" && unzip -q "$zip")
folder="$games/marchfell-$version-win64"
exe="C:\\Games\\marchfell-$version-win64\\marchfell.exe"
key='HKCU\Software\Tarvold\Marchfell'
old_key='HKLM\Software\Tarvold\Marchfell'
fail() { echo "FAILED: $*" >&2; exit 1; }

# The game's licence and those of what it ships, each a text Notepad opens.
for text in LICENSE.txt licences/qt6-base.txt licences/libjpeg-turbo.txt licences/mingw-w64-x86-64-dev.txt \
    licences/gcc-mingw-w64-x86-64-posix-runtime.txt licences/common-licenses/LGPL-3.txt; do
  [ -s "$folder/$text" ] || fail "the zip lacks $text"
done
grep -q "GNU GENERAL PUBLIC LICENSE" "$folder/LICENSE.txt" || fail "LICENSE.txt is not the GPL"

# The names of the values under a key, as "reg query" lists them.
value_names() { # <key>
  wine reg query "$1" 2>/dev/null | tr -d '\r' | sed -n 's/^ \{4\}\(.*\) \{4\}REG_[A-Z_]*\( .*\)\{0,1\}$/\1/p' || true
}
# One value of the game's key, looked up by its name: "<type> <data>".
reg_value() { # <name>
  local line
  line=$(wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | grep -F "    $1    REG_" | head -n1) || return 0
  line="${line#*"    $1    "}"
  echo "${line%%    *} ${line#*    }"
}

# The program, started from the zip's folder, and stopped.
start_program() { # <platform> [arguments...]
  local platform=$1
  shift
  QT_QPA_PLATFORM="$platform" QT_QPA_FONTDIR="$(windows_path "$prefix/lib/fonts")" wine "$exe" "$@" >"$scratch/run.log" 2>&1 &
  program=$!
}
window_shows() { # <title> <seconds>
  # In a UTF-8 locale, so that Wine hands the probe a Cyrillic title intact.
  LC_ALL=C.UTF-8 wine "$(windows_path "$build/probe-window.exe")" "$1" "$2"
}
stop_program() {
  kill -0 "$program" 2>/dev/null || { cat "$scratch/run.log"; fail "the program stopped by itself"; }
  wineserver -k 2>/dev/null || true
  wait "$program" 2>/dev/null || true
}
x86_64-w64-mingw32-gcc-posix -municode -O2 -o "$build/probe-window.exe" "$here/probe-window.c"

# Starts the program and waits until the key holds fourteen values (and, on
# the Windows platform, until the start menu window shows); then ends it.
# Fails if it stopped on its own meanwhile.
run_once() { # <platform>
  local waited=0
  start_program "$1"
  if [ "$1" = windows ]; then
    window_shows "Marchfell: Ostrevane" 90 || { cat "$scratch/run.log"; fail "the start menu did not show"; }
  fi
  until [ "$(value_names "$key" | wc -l)" -ge 14 ] || [ $waited -ge 90 ]; do sleep 3; waited=$((waited + 3)); done
  sleep 3
  stop_program
}

# First start, offscreen: the player's key is made, and none for the machine.
run_once offscreen
wine reg query "$key" | tr -d '\r' | tee "$scratch/key.txt"
[ "$(value_names "$key" | wc -l)" -eq 14 ] || fail "the key does not hold 14 values"
for name in Lennik Grain Peasant Cow Horse Independence; do
  for set in Current Default; do
    [[ "$(reg_value "$set$name")" == "REG_DWORD 0x"* ]] || fail "$set$name is not a DWORD: $(reg_value "$set$name")"
  done
done
map="C:\\Games\\marchfell-$version-win64\\maps\\base.bmp"
for name in CurrentPathToMap DefaultPathToMap; do
  value=$(reg_value "$name")
  [ "${value,,}" = "reg_sz ${map,,}" ] || fail "$name does not name the bundled map $map: $value"
done
[ -z "$(value_names "$old_key")" ] || fail "the program wrote to $old_key"
echo "settings key made; the bundled map found: $map"

# Second start, through the Windows platform plugin with Wine's display-less
# driver: the start menu shows and the key is used as it stands.
wine reg add "$key" /v CurrentLennik /t REG_DWORD /d 77 /f >/dev/null
run_once windows
[ "$(reg_value CurrentLennik)" = "REG_DWORD 0x4d" ] || fail "the second start changed the key"
[ "$(value_names "$key" | wc -l)" -eq 14 ] || fail "the second start changed the key"
echo "start menu shown; the key kept as it stood"

# The guide the program carries, opened alone as the launcher's "Руководство"
# does: its window shows.
start_program windows --guide
window_shows "Руководство" 90 || { cat "$scratch/run.log"; fail "the guide window did not show"; }
stop_program
echo "guide window shown"
[ $tests_failed -eq 0 ] || fail "some Windows tests failed (see above)"
echo "All Windows checks passed."

# Sourced by build.sh and check.sh: the Wine prefix the tests run in and the
# paths that let Wine find the Windows build of Qt and MinGW's runtime.
# Expects $cache and $prefix to be set.
export WINEPREFIX="${MARCHFELL_WINEPREFIX:-$cache/wine-tests}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
# No Mono or Gecko installer: the tests need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
windows_path() { echo "Z:${1//\//\\}"; }
export WINEPATH="$(windows_path "$prefix/bin")"
export QT_PLUGIN_PATH="$(windows_path "$prefix/plugins")"
export QT_QPA_PLATFORM=offscreen
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== making the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi

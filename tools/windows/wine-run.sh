#!/usr/bin/env bash
# CMake's emulator for the Windows build: runs a test program under Wine, for
# CTest and for test discovery while building. Wine's programs end their
# lines with CR LF; the CRs are dropped so that test names come out clean.
set -o pipefail
cache="${MARCHFELL_WIN_CACHE:-$HOME/.cache/marchfell-win}"
prefix="$cache/prefix"
source "$(dirname "$0")/wine-env.sh"
wine "$@" | tr -d '\r'

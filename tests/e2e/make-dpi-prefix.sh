#!/usr/bin/env bash
# Makes a copy of the test prefix whose screen is set to 144 DPI.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
base="$1"
target="$2"
if [ ! -f "$target/.dpi144" ]; then
  . "$here/../../scripts/wine-env.sh" "$base" >/dev/null 2>&1
  rm -rf "$target"
  cp -a "$base" "$target"
  . "$here/../../scripts/wine-env.sh" "$target" >/dev/null 2>&1
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 </dev/null
  wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 </dev/null
  touch "$target/.dpi144"
fi

#!/usr/bin/env bash
# Starts the built program under Wine, saves a screenshot of the display to
# build/screenshot.png and ends it (needs a display).
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/wine-env.sh" "$root/build/wineprefix"
wine "$wine_build_dir/ZelkUsbTool.exe" >/dev/null 2>&1 </dev/null &
sleep "${SHOT_DELAY:-4}"
import -window root "$root/build/screenshot.png"
wineserver -k >/dev/null 2>&1 || true
echo "screenshot: $root/build/screenshot.png"

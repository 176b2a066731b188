#!/usr/bin/env bash
# Builds the program and runs it under Wine. Without a display it runs on a
# virtual one and saves a screenshot to build/screenshot.png.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
if [ -n "${DISPLAY:-}" ]; then
  . "$root/scripts/wine-env.sh" "$root/build/wineprefix"
  exec wine "$wine_build_dir/ZelkUsbTool.exe"
fi
exec bash "$root/scripts/with-display.sh" bash "$root/scripts/screenshot.sh"

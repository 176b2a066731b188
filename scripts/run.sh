#!/usr/bin/env bash
# Builds the program and runs it under Wine. Without a display it runs on a
# virtual one and saves a screenshot to build/screenshot.png.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
if [ -n "${DISPLAY:-}" ]; then
  . "$root/scripts/wine-env.sh" "$root/build/wineprefix"
  exec wine "$root/build/win/ZelkUsbTool.exe"
fi
shoot() {
  . "$root/scripts/wine-env.sh" "$root/build/wineprefix"
  wine "$root/build/win/ZelkUsbTool.exe" >/dev/null 2>&1 &
  sleep "${SHOT_DELAY:-4}"
  import -window root "$root/build/screenshot.png"
  wineserver -k >/dev/null 2>&1 || true
  echo "screenshot: $root/build/screenshot.png"
}
export -f shoot
export root
xvfb-run -a -s "-screen 0 1024x768x24" bash -c shoot

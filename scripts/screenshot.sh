#!/usr/bin/env bash
# Starts the built program under Wine, waits until its window is drawn
# (await_drawn.exe, built beside it), saves a screenshot of the display to
# build/screenshot.png and ends it (needs a display).
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/wine-env.sh" "$root/build/wineprefix" || exit 1
wine "$wine_build_dir/ZelkUsbTool.exe" >/dev/null 2>&1 </dev/null &
# Output through a file: nothing Wine leaves running may hold a pipe.
log="$(mktemp)"
wine "$wine_build_dir/await_drawn.exe" 30000 >"$log" 2>&1 </dev/null
drawn=$?
import -window root "$root/build/screenshot.png"
wineserver -k >/dev/null 2>&1 || true
if [ "$drawn" -ne 0 ]; then
  cat "$log" >&2
  rm -f "$log"
  echo "screenshot: the window was not drawn in time; build/screenshot.png shows the screen as it was" >&2
  exit 1
fi
rm -f "$log"
echo "screenshot: $root/build/screenshot.png"

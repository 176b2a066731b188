# Sourced: a fast 32-bit Wine prefix of the project's own, ready for GUI
# programs, with a persistent server whose standard handles go nowhere (so
# nothing Wine leaves running holds a test runner's pipe).
# Usage: . scripts/wine-env.sh [prefix-dir]
_here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export WINEPREFIX="${1:-${WINEPREFIX_DIR:-$_here/../build/wineprefix}}"
WINEPREFIX="$(mkdir -p "$WINEPREFIX" && cd "$WINEPREFIX" && pwd)"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all,err+module}"
# No Mono/Gecko prompts; a crash ends the process instead of waiting in winedbg.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
# Chinese file names need a UTF-8 Unix locale.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

if [ ! -f "$WINEPREFIX/.ready" ]; then
  echo "wine-env: creating prefix $WINEPREFIX" >&2
  wineserver -k >/dev/null 2>&1 || true
  wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -w
  wine regedit /S "$(winepath -w "$_here/harness.reg" 2>/dev/null)" >/dev/null 2>&1 </dev/null
  wineserver -w
  touch "$WINEPREFIX/.ready"
fi
wineserver -p >/dev/null 2>&1 </dev/null || true
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

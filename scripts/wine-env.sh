# Sourced: a fast Wine prefix (32-bit, or 64-bit where the kernel cannot run
# 32-bit programs: see wine-arch.sh) of the project's own, ready for GUI
# programs, with a persistent server whose standard handles go nowhere (so
# nothing Wine leaves running holds a test runner's pipe).
# Usage: . scripts/wine-env.sh [prefix-dir]
_here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export WINEPREFIX="${1:-${WINEPREFIX_DIR:-$_here/../build/wineprefix}}"
WINEPREFIX="$(mkdir -p "$WINEPREFIX" && cd "$WINEPREFIX" && pwd)"
. "$_here/wine-arch.sh"
export WINEDEBUG="${WINEDEBUG:--all,err+module}"
# No Mono/Gecko prompts; a crash ends the process instead of waiting in winedbg.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
# Chinese file names need a UTF-8 Unix locale.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

if [ ! -f "$WINEPREFIX/.ready-$WINEARCH" ]; then
  echo "wine-env: creating prefix $WINEPREFIX" >&2
  wineserver -k >/dev/null 2>&1 || true
  wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -w
  wine regedit /S "$(winepath -w "$_here/harness.reg" 2>/dev/null)" >/dev/null 2>&1 </dev/null
  wineserver -w
  touch "$WINEPREFIX/.ready-$WINEARCH"
fi
wineserver -p >/dev/null 2>&1 </dev/null || true
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

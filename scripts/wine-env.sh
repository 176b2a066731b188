# Sourced: a fast Wine prefix (32-bit, or 64-bit where the kernel cannot run
# 32-bit programs: see wine-arch.sh) of the project's own, ready for GUI
# programs, with a persistent server whose standard handles go nowhere (so
# nothing Wine leaves running holds a test runner's pipe). Returns non-zero
# when the prefix cannot be made.
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

# The prefix is marked ready only once wineboot has succeeded and left a
# complete prefix (it can return early, hence the wait), and the harness's
# settings are in; a prefix left unmarked is made again next time.
_wine_env_make_prefix() {
  echo "wine-env: creating prefix $WINEPREFIX" >&2
  wineserver -k >/dev/null 2>&1 || true
  if ! wineboot -i >/dev/null 2>&1 </dev/null; then
    echo "wine-env: wineboot failed in $WINEPREFIX" >&2
    return 1
  fi
  wineserver -w
  if [ ! -f "$WINEPREFIX/system.reg" ] || [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
    echo "wine-env: wineboot left an incomplete prefix in $WINEPREFIX" >&2
    return 1
  fi
  if ! wine regedit /S "$(winepath -w "$_here/harness.reg" 2>/dev/null)" >/dev/null 2>&1 </dev/null; then
    echo "wine-env: the harness's settings (scripts/harness.reg) could not be applied" >&2
    return 1
  fi
  wineserver -w
  touch "$WINEPREFIX/.ready-$WINEARCH"
}
if [ ! -f "$WINEPREFIX/.ready-$WINEARCH" ]; then
  _wine_env_make_prefix || return 1
fi
# The title bar's buttons are drawn with Marlett, which Debian's Wine does not
# load from where fonts-wine puts it: without it they show as "0 1 r".
_marlett=/usr/share/wine/fonts/marlett.ttf
if [ -f "$_marlett" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
  cp "$_marlett" "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf"
fi
wineserver -p >/dev/null 2>&1 </dev/null || true
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

#!/usr/bin/env bash
# Runs a Windows test program under the project's Wine prefix. Its output goes
# through a file, so that nothing Wine leaves running can hold the test
# runner's pipe open.
here="$(cd "$(dirname "$0")" && pwd)"
# Wine reads DLL overrides from the Unix environment that a process inherits,
# so they are set here for the test and everything it starts: the recording
# stand-ins the tests copy over the system's explorer.exe and rundll32.exe
# run instead of Wine's built-in ones, and a DLL planted under a system
# DLL's name would be loaded if the program ever searched for it by name.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;explorer.exe,rundll32.exe=n,b;winmm,comctl32,oleacc=n,b"
. "$here/../../scripts/wine-env.sh" "${WINEPREFIX_DIR:-$here/../../build/wineprefix}" || exit 1
log="$(mktemp)"
wine "$@" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
rm -f "$log"
exit $rc

#!/usr/bin/env bash
# Ends a test prefix's Wine server, and with it everything still running in
# the prefix, once the tests that use the prefix are done: the server was
# made persistent, so it would otherwise stay for good. Whether anything is
# left is checked once, after the whole run (scripts/e2e.sh).
# Usage: end-prefix.sh PREFIX
[ -d "$1" ] || exit 0  # never made: nothing can run there
WINEPREFIX="$(cd "$1" && pwd)" wineserver -k >/dev/null 2>&1 || true

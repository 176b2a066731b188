#!/usr/bin/env bash
# The end-to-end tests of an existing build, under Wine (needs a display).
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/wine-env.sh" "$root/build/wineprefix"
(cd "$wine_build_dir" && ctest --output-on-failure -j1)
rc=$?
wineserver -k >/dev/null 2>&1 || true
exit $rc

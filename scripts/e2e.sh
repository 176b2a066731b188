#!/usr/bin/env bash
# The end-to-end tests of an existing build, under Wine (needs a display).
# Says first which build they drive and why (scripts/wine-arch.sh). Ends the
# test prefix's server afterwards, and fails if anything is still running in a
# prefix of this checkout: a test run leaves nothing behind.
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/wine-env.sh" "$root/build/wineprefix" || exit 1
echo "end-to-end tests drive $wine_build_reason"
(cd "$wine_build_dir" && ctest --output-on-failure -j1)
rc=$?
wineserver -k >/dev/null 2>&1 || true
bash "$root/scripts/wine-leftovers.sh" "$root" || rc=1
exit $rc

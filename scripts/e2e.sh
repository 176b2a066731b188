#!/usr/bin/env bash
# The end-to-end tests of an existing build, under Wine (needs a display).
# Says first which build they drive and why (scripts/wine-arch.sh).
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/wine-env.sh" "$root/build/wineprefix" || exit 1
echo "end-to-end tests drive $wine_build_reason"
(cd "$wine_build_dir" && ctest --output-on-failure -j1)
rc=$?
wineserver -k >/dev/null 2>&1 || true
exit $rc

#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests, a check that
# two builds of the same source give the same bytes, then the real program end
# to end under Wine on a virtual display.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh" || exit 1
bash "$root/scripts/build.sh" --native || exit 1

status=0
echo "== unit tests (native)"
(cd "$root/build/native" && ctest --output-on-failure -j "$(nproc)") || status=1

echo "== reproducible build (two builds of this source, compared)"
bash "$root/scripts/check-reproducible.sh" || status=1

echo "== end-to-end tests (Wine)"
bash "$root/scripts/with-display.sh" bash "$root/scripts/e2e.sh" || status=1
exit $status

#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests, then the real
# program end to end under Wine on a virtual display.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh" || exit 1
bash "$root/scripts/build.sh" --native || exit 1

status=0
echo "== unit tests (native)"
(cd "$root/build/native" && ctest --output-on-failure -j "$(nproc)") || status=1

echo "== end-to-end tests (Wine)"
run_e2e() {
  . "$root/scripts/wine-env.sh" "$root/build/wineprefix"
  (cd "$root/build/win" && ctest --output-on-failure -j1)
  local rc=$?
  wineserver -k >/dev/null 2>&1 || true
  return $rc
}
export -f run_e2e
export root
bash "$root/scripts/with-display.sh" bash -c run_e2e || status=1
exit $status

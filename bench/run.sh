#!/usr/bin/env bash
# Measures the real program under Wine and prints one markdown table:
# start-up against a bare window and against a window with the design's
# controls and nothing else, processor time and memory over
# forced repairs, one KillProcess call over many processes, and the sizes.
# Run by hand; no build or test passes or fails on it.
#
# Settings (environment):
#   BENCH_BUILD_DIR   build folder (default build/bench)
#   BENCH_PREFIX      Wine prefix (default build/prefix-bench): the repair
#                     ends and restarts the shell, so it runs apart from the
#                     tests' prefix
#   BENCH_RUNS        start-up runs of each program (default 15)
#   BENCH_REPAIRS     forced repairs in one program (default 10, ~12 s each)
#   BENCH_PROCESSES   processes for one KillProcess call (default 50)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build/bench}"
prefix="${BENCH_PREFIX:-$root/build/prefix-bench}"

# Wine needs a display; without one, a virtual one for this run.
if [ -z "${DISPLAY:-}" ]; then
  exec bash "$root/scripts/with-display.sh" bash "$0" "$@"
fi

log="$(mktemp)"
errors="$(mktemp)"
cleanup() {
  rm -f "$log" "$errors"
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT

if ! { cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" &&
       cmake --build "$build" -j "$(nproc)" --target bench_driver; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "bench: build failed" >&2
  exit 1
fi

# Wine's own explorer.exe and rundll32.exe, whatever stand-ins a test run
# may have left in the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
. "$root/scripts/wine-env.sh" "$prefix"
# Output through files: whatever Wine leaves running must not hold a pipe.
if ! wine "$build/bench_driver.exe" "$(getconf CLK_TCK)" "${BENCH_RUNS:-15}" \
     "${BENCH_REPAIRS:-10}" "${BENCH_PROCESSES:-50}" >"$log" 2>"$errors" </dev/null; then
  cat "$log" "$errors" >&2
  echo "bench: the driver failed" >&2
  exit 1
fi
cpu="$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
echo "$(wine --version) on ${cpu:-an unknown processor}, $(nproc) cores, display ${DISPLAY}"
echo
cat "$log"

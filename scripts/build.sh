#!/usr/bin/env bash
# Builds the Windows program (build/win) and, with --native, the native unit
# tests (build/native).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"
cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$root/build/win" -j "$jobs"
if [ "${1:-}" = "--native" ]; then
  cmake -S "$root" -B "$root/build/native" >/dev/null
  cmake --build "$root/build/native" -j "$jobs"
fi

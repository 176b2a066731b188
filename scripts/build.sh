#!/usr/bin/env bash
# Builds the Windows program (build/win; build/win64 too where Wine runs only
# 64-bit programs) and, with --native, the native unit
# tests (build/native).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"
cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$root/build/win" -j "$jobs"
# Where Wine can only run 64-bit programs, the end-to-end tests drive a 64-bit
# build of the same source.
. "$root/scripts/wine-arch.sh"
if [ "$wine_build_dir" != "$root/build/win" ]; then
  cmake -S "$root" -B "$wine_build_dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
  cmake --build "$wine_build_dir" -j "$jobs"
fi
if [ "${1:-}" = "--native" ]; then
  cmake -S "$root" -B "$root/build/native" >/dev/null
  cmake --build "$root/build/native" -j "$jobs"
fi

#!/usr/bin/env bash
# Builds the program, the skinning library and the portable zip twice, from
# two copies of this source tree in differently named folders, at least a
# second apart, under another time zone, umask, locale and temporary file
# system (tmpfs lists a folder in another order than a disk does), then
# checks that the exe, the DLL and the zip are byte for byte the same and that
# the SHA256SUMS beside the zip checks out against them. Prints one plain line
# and exits non-zero when anything differs.
#
# Usage: scripts/check-reproducible.sh [WORK_DIR]   (default: build/reproducible)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="${1:-$root/build/reproducible}"
jobs="$(nproc)"
[ "$jobs" -le 2 ] || jobs=2

fail() {
  echo "NOT reproducible: $*"
  exit 1
}

# The source as it stands, .git included so the commit's time can be read;
# earlier builds and packages are left behind.
copy_source() {
  mkdir -p "$1"
  (cd "$root" && tar --exclude=./build --exclude=./dist -cf - .) | tar -xf - -C "$1"
}

# build_in DIR TZ UMASK LOCALE TMPDIR: only what ships is built, not the tests.
build_in() {
  local dir="$1" log="$1.log"
  copy_source "$dir"
  if ! (
    umask "$3"
    export TZ="$2" LC_ALL="$4" TMPDIR="$5"
    unset SOURCE_DATE_EPOCH
    cmake -S "$dir" -B "$dir/build/win" -DCMAKE_TOOLCHAIN_FILE="$dir/cmake/mingw-i686.cmake"
    cmake --build "$dir/build/win" -j "$jobs" --target ZelkUsbTool SkinH_VB6
    bash "$dir/scripts/package.sh" --from "$dir/build/win" --out "$dir/dist"
  ) >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    fail "the build in $dir failed (log: $log)"
  fi
}

rm -rf "$work"
mkdir -p "$work"
first="$work/a"
second="$work/second-copy-in-a-longer-folder"

mkdir "$work/tmp"
other_tmp="$(mktemp -d /dev/shm/reproducible.XXXXXX 2>/dev/null || mktemp -d "$work/tmp2.XXXXXX")"
trap 'rm -rf "$other_tmp"' EXIT

started="$(date +%s)"
build_in "$first" UTC 022 C "$work/tmp"
# Whatever time gets into a file must differ between the two builds.
while [ "$(date +%s)" -le "$started" ]; do sleep 0.2; done
build_in "$second" CST-8 027 C.UTF-8 "$other_tmp"

for dir in "$first" "$second"; do
  set -- "$dir"/dist/*.zip
  if [ $# -ne 1 ] || [ ! -f "$1" ]; then fail "expected one zip in $dir/dist"; fi
done
zip="$(basename "$1")"
name="$(basename "$zip" .zip)"
[ -f "$first/dist/$zip" ] || fail "the zips are named differently"

summary=""
for pair in "build/win/ZelkUsbTool.exe" "build/win/SkinH_VB6.dll" "dist/$zip"; do
  sum_a="$(sha256sum <"$first/$pair" | cut -d' ' -f1)"
  sum_b="$(sha256sum <"$second/$pair" | cut -d' ' -f1)"
  [ "$sum_a" = "$sum_b" ] || fail "$(basename "$pair") differs: $sum_a in $first, $sum_b in $second"
  summary="$summary $(basename "$pair") $sum_a;"
done

# A user checks the zip, unpacks it beside SHA256SUMS and checks the rest.
(
  cd "$second/dist"
  unzip -q "$zip"
  sha256sum --check --strict SHA256SUMS >/dev/null 2>&1
) || fail "SHA256SUMS does not check against the zip and what it holds"
listed="$(sed 's/^[0-9a-f]\{64\}  //' "$second/dist/SHA256SUMS" | tr '\n' ' ')"
[ "$listed" = "$name.zip $name/ZelkUsbTool.exe $name/SkinH_VB6.dll " ] ||
  fail "SHA256SUMS lists: $listed"

echo "reproducible:${summary%;}"

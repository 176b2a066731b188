#!/usr/bin/env bash
# Builds the program and packs the portable zip, dist/ZelkUsbTool-<version>.zip:
# one folder holding the program, the skinning library, its skin file and
# the readme. Nothing to install: unzip and run. Beside it, SHA256SUMS lists
# the zip, the program and the library. The same commit packs to the same
# bytes (see scripts/check-reproducible.sh).
#
# Usage: scripts/package.sh [--from BUILD_DIR] [--out DIR]
#   --from  pack the files of this build as they are, without building
#   --out   where the zip goes (default: dist)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
from=""
out="$root/dist"
while [ $# -gt 0 ]; do
  case "$1" in
    --from) from="$2"; shift 2 ;;
    --out) out="$2"; shift 2 ;;
    *) echo "usage: $0 [--from BUILD_DIR] [--out DIR]" >&2; exit 2 ;;
  esac
done

if [ -z "$from" ]; then
  bash "$root/scripts/setup.sh"
  bash "$root/scripts/build.sh"
  from="$root/build/win"
fi
if ! command -v zip >/dev/null; then
  echo "package: zip is missing; scripts/setup.sh installs it" >&2
  exit 1
fi

version="$(sed -n 's/^#define APP_VERSION_TEXT "\(.*\)"$/\1/p' "$root/resources/resource_ids.h")"
[ -n "$version" ] || { echo "package: no APP_VERSION_TEXT in resources/resource_ids.h" >&2; exit 1; }
name="ZelkUsbTool-$version"
grep -q '@APP_VERSION@' "$root/package/readme.txt" ||
  { echo "package: package/readme.txt does not name the version (@APP_VERSION@)" >&2; exit 1; }

# Every file time in the zip is the commit's, so the same commit packs to the
# same bytes at any time. Without git history, the earliest time a zip holds.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git -c safe.directory="$root" -C "$root" log -1 --format=%ct 2>/dev/null || true)"
  if [ -z "$SOURCE_DATE_EPOCH" ]; then
    echo "package: no git history; file times set to 1980-01-01" >&2
    SOURCE_DATE_EPOCH=315532800
  fi
fi

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
cp "$from/ZelkUsbTool.exe" "$from/SkinH_VB6.dll" "$from/skinh.she" "$stage/$name/"
sed "s/@APP_VERSION@/$version/g" "$root/package/readme.txt" >"$stage/$name/readme.txt"
# Fixed modes and times, whatever the umask and the build's clock.
chmod 0755 "$stage/$name" "$stage/$name/ZelkUsbTool.exe" "$stage/$name/SkinH_VB6.dll"
chmod 0644 "$stage/$name/skinh.she" "$stage/$name/readme.txt"
touch -d "@$SOURCE_DATE_EPOCH" "$stage/$name"/* "$stage/$name"

mkdir -p "$out"
out="$(cd "$out" && pwd)"
rm -f "$out/$name.zip" "$out/SHA256SUMS"
# Every name in the zip is ASCII: Info-ZIP stores names without the zip's
# UTF-8 flag, and unzippers on Windows would then read a Chinese name in
# the local code page and garble it. -X leaves out Unix owners and extra
# times; names go in sorted, and zip times are local, hence UTC.
(cd "$stage" && find "$name" | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$out/$name.zip")

# sha256sum's format, so `sha256sum -c` checks the zip and, once it is
# unpacked beside this file, the program and the library.
{
  (cd "$out" && sha256sum "$name.zip")
  (cd "$stage" && sha256sum "$name/ZelkUsbTool.exe" "$name/SkinH_VB6.dll")
} >"$out/SHA256SUMS"
echo "$out/SHA256SUMS"
echo "$out/$name.zip"

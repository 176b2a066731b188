#!/usr/bin/env bash
# Builds the program and packs the portable zip, dist/ZelkUsbTool-<version>.zip:
# one folder holding the program, the skinning library, its skin file and
# the readme. Nothing to install: unzip and run.
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

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
cp "$from/ZelkUsbTool.exe" "$from/SkinH_VB6.dll" "$from/skinh.she" "$stage/$name/"
cp "$root/package/readme.txt" "$stage/$name/readme.txt"

mkdir -p "$out"
out="$(cd "$out" && pwd)"
rm -f "$out/$name.zip"
# Every name in the zip is ASCII: Info-ZIP stores names without the zip's
# UTF-8 flag, and unzippers on Windows would then read a Chinese name in
# the local code page and garble it. -X leaves out Unix owners and times.
(cd "$stage" && zip -q -r -X "$out/$name.zip" "$name")
echo "$out/$name.zip"

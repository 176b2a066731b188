#!/usr/bin/env bash
# Makes a copy of the test prefix with the settings of one .reg file applied
# (tests/e2e/prefixes: a 144-DPI screen, a Western message font). The copy is
# made again whenever this script or the .reg file changes: its marker
# records their hash, and is written only once every step has succeeded.
# Usage: make-variant-prefix.sh BASE_PREFIX TARGET_PREFIX SETTINGS.reg
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
base="$1"
target="$2"
settings="$3"
recipe="$(cat "$0" "$settings" | sha256sum | cut -d' ' -f1)"
marker="$target/.variant"
if [ "$(cat "$marker" 2>/dev/null)" = "$recipe" ]; then exit 0; fi

echo "make-variant-prefix: making $target from $base with $(basename "$settings")" >&2
. "$here/../../scripts/wine-env.sh" "$base" >/dev/null
# The base's registry files are complete only once its server has written them.
wineserver -k >/dev/null 2>&1 || true
rm -rf "$target"
cp -a "$base" "$target"
. "$here/../../scripts/wine-env.sh" "$target" >/dev/null
wine regedit /S "$(winepath -w "$settings")" >/dev/null 2>&1 </dev/null
# Written to disk before anything reads the copy.
wineserver -k >/dev/null 2>&1 || true
echo "$recipe" >"$marker"

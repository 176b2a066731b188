#!/usr/bin/env bash
# Packs this build's files with scripts/package.sh, checks what the zip
# holds, and unpacks it into a fresh folder whose path holds spaces and
# Chinese, where the package test runs the program.
# Usage: unpack-package.sh <source folder> <build folder>
set -euo pipefail
src="$1"
build="$2"
out="$build/package-test"
dest="$out/便携 测试 folder"
fail() {
  echo "package: $*" >&2
  exit 1
}

rm -rf "$out"
zip="$(bash "$src/scripts/package.sh" --from "$build" --out "$out" | tail -n 1)"
[ -f "$zip" ] || fail "no zip made"
name="$(basename "$zip" .zip)"

# Exactly the program, its library, its skin and the readme, in one folder.
listing="$(unzip -Z1 "$zip" | LC_ALL=C sort | tr '\n' ' ')"
expected="$name/ $name/SkinH_VB6.dll $name/ZelkUsbTool.exe $name/readme.txt $name/skinh.she "
[ "$listing" = "$expected" ] || fail "the zip holds: $listing; expected: $expected"

mkdir -p "$dest"
unzip -q "$zip" -d "$dest"
dir="$dest/$name"
cmp -s "$dir/ZelkUsbTool.exe" "$build/ZelkUsbTool.exe" || fail "the program differs from the build's"
cmp -s "$dir/SkinH_VB6.dll" "$build/SkinH_VB6.dll" || fail "the library differs from the build's"

# Notepad on any Windows shows the readme right: UTF-8 with a byte order
# mark, and every line ending in CR LF.
[ "$(head -c 3 "$dir/readme.txt" | od -An -tx1 | tr -d ' ')" = "efbbbf" ] ||
  fail "readme.txt does not start with a UTF-8 byte order mark"
lines="$(wc -l <"$dir/readme.txt")"
crlf="$(grep -c $'\r$' "$dir/readme.txt" || true)"
[ "$lines" -gt 0 ] && [ "$lines" = "$crlf" ] || fail "readme.txt: $crlf of $lines lines end in CR LF"
iconv -f UTF-8 -t UTF-8 "$dir/readme.txt" >/dev/null || fail "readme.txt is not UTF-8"

# Nothing to install: both binaries import only KnownDLLs, which Windows
# always takes from its own folder, never from beside the program.
known=" advapi32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll "
for binary in "$dir/ZelkUsbTool.exe" "$dir/SkinH_VB6.dll"; do
  imports="$(objdump -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p')"
  [ -n "$imports" ] || fail "$(basename "$binary"): no import table found"
  for dll in $imports; do
    lower="$(echo "$dll" | tr '[:upper:]' '[:lower:]')"
    case "$known" in
      *" $lower "*) ;;
      *) fail "$(basename "$binary") imports $dll, which is no system DLL" ;;
    esac
  done
done
echo "unpacked $zip into $dir"

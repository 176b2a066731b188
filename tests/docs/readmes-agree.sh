#!/usr/bin/env bash
# The two texts for users say the same things: README.zh-CN.md and both
# halves of package/readme.txt (Chinese, English) each name every caption the
# window's buttons can show (read from the design and app/texts.h, so a
# renamed button fails here too), the same files, and the same commands and
# event for checking a download and finding what holds the stick.
# Usage: readmes-agree.sh <source folder>
set -euo pipefail
src="$1"
page="$src/README.zh-CN.md"
readme="$src/package/readme.txt"
design="$src/resources/form1_design.h"
texts="$src/app/texts.h"
status=0
fail() {
  echo "readmes: $*" >&2
  status=1
}

# The text of a constant of app/texts.h.
text_of() { sed -n "s/.*\b$1 = L\"\([^\"]*\)\";.*/\1/p" "$texts"; }

# Each push button's caption in the design, then the Explorer toggle's other one.
captions=()
while IFS= read -r field; do
  case "$field" in
    L\"*\") captions+=("${field:2:${#field}-3}") ;;
    app::texts::k*) captions+=("$(text_of "${field#app::texts::}")") ;;
    *) fail "cannot read the caption $field in $design" ;;
  esac
done < <(sed -n 's/.*Kind::Button, [^,]*, \([^,]*\),.*/\1/p' "$design")
buttons="$(grep -c 'Kind::Button' "$design" || true)"
[ "$buttons" -gt 0 ] && [ "${#captions[@]}" = "$buttons" ] ||
  fail "read ${#captions[@]} captions for $buttons buttons in $design"
captions+=("$(text_of kCaptionRestartExplorer)")
for caption in "${captions[@]}"; do
  [ -n "$caption" ] || fail "an empty caption: the design or app/texts.h changed shape"
done

# readme.txt's two halves, without its byte order mark and CRs.
plain="$(sed '1s/^\xEF\xBB\xBF//' "$readme" | tr -d '\r')"
chinese="$(awk '/^==== English ====$/ { exit } on; /^==== 中文 ====$/ { on = 1 }' <<<"$plain")"
english="$(awk 'on; /^==== English ====$/ { on = 1 }' <<<"$plain")"
[ -n "$chinese" ] && [ -n "$english" ] || fail "readme.txt lacks its '==== 中文 ====' or '==== English ====' half"

files_in() { grep -oE '\b[A-Za-z0-9_]+\.(exe|dll|she|msc)\b|SHA256SUMS' <<<"$1" | sort -u | tr '\n' ' '; }
page_text="$(cat "$page")"
page_files="$(files_in "$page_text")"
[ -n "$page_files" ] || fail "README.zh-CN.md names no file"

check() {
  local name="$1" text="$2" caption term files
  for caption in "${captions[@]}"; do
    grep -qF -- "$caption" <<<"$text" || fail "$name does not name the button $caption"
  done
  for term in "certutil -hashfile" "Get-FileHash" "Kernel-PnP" "225"; do
    grep -qF -- "$term" <<<"$text" || fail "$name does not say $term"
  done
  files="$(files_in "$text")"
  [ "$files" = "$page_files" ] || fail "$name names the files: $files; README.zh-CN.md: $page_files"
}
check "README.zh-CN.md" "$page_text"
check "readme.txt (中文)" "$chinese"
check "readme.txt (English)" "$english"
[ "$status" = 0 ] && echo "readmes agree: captions ${captions[*]}; files $page_files"
exit "$status"

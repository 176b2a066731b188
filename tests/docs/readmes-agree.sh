#!/usr/bin/env bash
# The two texts for users, README.zh-CN.md and both halves of
# package/readme.txt (Chinese, English), state what the program's own sources
# say, so that a page left behind by a change, or a slip in a page, fails here:
# - every caption the window's buttons can show (the design, app/texts.h);
# - the forced repair's seconds (its stage table in app/form1.cpp);
# - what each answer to the close question does (Form_QueryUnload);
# - the reason shown while a log-off waits (window/close_requests.cpp);
# - the oldest Windows that runs it (the link flags in CMakeLists.txt);
# - the skin file's size limit (the parser's kMaxFileBytes, skin/skin_file.h);
# - that the shipped skinh.she has CRLF line ends, as the pages let users
#   edit it in Notepad, which before Windows 10 1809 shows LF alone as one line;
# - the Kernel-PnP event, the same files and the same hash commands;
# - in each text's own language, with Windows' own labels: the way past
#   SmartScreen's warning for the unsigned program (Windows 已保护你的电脑,
#   更多信息, 仍要运行), the name Safely Remove Hardware gives the stick
#   (USB 大容量存储设备), the eject button still there while the taskbar is
#   gone, Task Manager's 运行新任务 that starts the shell again, and the
#   page's step 3 (close what is open, then try each button and eject).
# Usage: readmes-agree.sh <source folder>
set -euo pipefail
# The patterns and the texts hold Chinese characters: read them as characters
# whatever the caller's locale.
export LC_ALL=C.UTF-8
src="$1"
page="$src/README.zh-CN.md"
readme="$src/package/readme.txt"
design="$src/resources/form1_design.h"
texts="$src/app/texts.h"
form="$src/app/form1.cpp"
close_requests="$src/window/close_requests.cpp"
skin_file="$src/skin/skin_file.h"
skin="$src/skin/skinh.she"
cmake="$src/CMakeLists.txt"
status=0
fail() {
  echo "readmes: $*" >&2
  status=1
}

# ---- The facts, from the sources ----

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
# The button that opens Safely Remove Hardware, named where the taskbar is gone.
eject_caption="$(sed -n 's/.*{kCommand5, Kind::Button, [^,]*, L"\([^"]*\)",.*/\1/p' "$design")"
[ -n "$eject_caption" ] || fail "cannot read kCommand5's caption in $design"

# The forced repair's stages, "<pause in ms> <shell down during it>" a line.
stage_table="$(sed -n '/kStages\[\] = {/,/};/p' "$form")"
stages="$(sed -n 's/.*L"[^"]*", \([0-9]\+\), \(true\|false\)},$/\1 \2/p' <<<"$stage_table")"
[ -n "$stages" ] && [ "$(wc -l <<<"$stages")" = "$(grep -c '^ *{' <<<"$stage_table")" ] ||
  fail "cannot read every stage of kStages in $form"
# The pages round to whole seconds ("about 12 s").
repair_seconds="$(awk '{ ms += $1 } END { printf "%d", (ms + 500) / 1000 }' <<<"$stages")"
shell_down_seconds="$(awk '$2 == "true" { printf "%d\n", ($1 + 500) / 1000 }' <<<"$stages" | sort -u)"

# What each answer to the close question does, from Form_QueryUnload's
# branches: opens the forum, quits, stays. Whatever is neither Yes nor No is
# Cancel (the message box answers Cancel for its close button too).
declare -A does=()
while read -r answer actions; do does[$answer]="$actions"; done < <(awk '
  /Form1::Form_QueryUnload/ { on = 1 }
  !on { next }
  /answer == kAnswer[A-Za-z]+\)/ { match($0, /kAnswer[A-Za-z]+/); branch = substr($0, RSTART + 7, RLENGTH - 7) }
  /} else {/ { branch = "Cancel" }
  branch != "" && /launch\(.*kForum/ { did[branch] = did[branch] " forum" }
  branch != "" && /unloadWindow\(\)/ { did[branch] = did[branch] " quit" }
  branch != "" && /cancel = 1;/ { did[branch] = did[branch] " stay" }
  /^}/ { for (b in did) print b did[b]; exit }
' "$form")
[ "${#does[@]}" = 3 ] && [ -n "${does[Yes]:-}" ] && [ -n "${does[No]:-}" ] && [ -n "${does[Cancel]:-}" ] ||
  fail "cannot read what Yes, No and Cancel do in Form_QueryUnload ($form)"

# The reason Windows shows beside the program while a log-off waits for it.
block_reason="$(sed -n 's/.*kBlockReason\[\] = L"\([^"]*\)";.*/\1/p' "$close_requests")"
[ -n "$block_reason" ] || fail "cannot read kBlockReason in $close_requests"

# The oldest Windows: the executable's header asks for this operating-system
# and subsystem version, and an older system refuses to start it.
link_version() {
  local major minor
  major="$(grep -oE -- "--major-$1-version,[0-9]+" "$cmake" | cut -d, -f2 | sort -u)"
  minor="$(grep -oE -- "--minor-$1-version,[0-9]+" "$cmake" | cut -d, -f2 | sort -u)"
  echo "$major.$minor"
}
os_version="$(link_version os)"
[ "$os_version" = "$(link_version subsystem)" ] ||
  fail "the link flags in $cmake give the os version $os_version and the subsystem version $(link_version subsystem)"
case "$os_version" in
  6.0) windows=Vista ;;
  6.1) windows=7 ;;
  6.2) windows=8 ;;
  6.3) windows=8.1 ;;
  10.0) windows=10 ;;
  *) windows="?" ; fail "no Windows name for the version $os_version in $cmake" ;;
esac

# The largest skin file the parser reads, in KB (1024 bytes) as the pages say it.
limit_bytes="$(sed -n 's/.*\bkMaxFileBytes = \([0-9 *]*[0-9]\);.*/\1/p' "$skin_file")"
limit_kb=""
if [ -z "$limit_bytes" ]; then
  fail "cannot read kMaxFileBytes in $skin_file"
elif [ $((limit_bytes % 1024)) != 0 ]; then
  fail "kMaxFileBytes in $skin_file is $((limit_bytes)) bytes, not a whole number of KB"
else
  limit_kb=$((limit_bytes / 1024))
fi

# The shipped skin: every line ends in CR LF, the last one too.
lf="$(tr -cd '\n' <"$skin" | wc -c)"
cr="$(tr -cd '\r' <"$skin" | wc -c)"
crlf="$(grep -c $'\r$' "$skin" || true)"
[ "$lf" -gt 0 ] && [ "$cr" = "$lf" ] && [ "$crlf" = "$lf" ] && [ "$(tail -c 1 "$skin" | od -An -c | tr -d ' ')" = '\n' ] ||
  fail "$skin does not end every line in CR LF ($lf LF, $cr CR, $crlf lines end in CR)"

# Windows writes "stopped the removal or ejection" as this Kernel-PnP event.
# The program never reads the event log, so no source of ours holds it.
event_id=225

# What each text says in its own language, Windows' labels as Windows shows
# them.
says_chinese=("Windows 已保护你的电脑" "更多信息" "仍要运行" "USB 大容量存储设备"
  "任务栏不在时，本工具自己的按钮${eject_caption}仍能打开" "运行新任务"
  "每点一个就试着弹出一次U盘")
says_english=("Windows protected your PC" "More info" "Run anyway" "USB Mass Storage Device"
  "While the taskbar is gone, the tool's own button ${eject_caption} still opens" "Run new task"
  "one at a time, trying to eject the stick after each")

# ---- What each text says ----

# readme.txt's two halves, without its byte order mark and CRs.
plain="$(sed '1s/^\xEF\xBB\xBF//' "$readme" | tr -d '\r')"
chinese="$(awk '/^==== English ====$/ { exit } on; /^==== 中文 ====$/ { on = 1 }' <<<"$plain")"
english="$(awk 'on; /^==== English ====$/ { on = 1 }' <<<"$plain")"
[ -n "$chinese" ] && [ -n "$english" ] || fail "readme.txt lacks its '==== 中文 ====' or '==== English ====' half"

# A text on one line: a phrase may wrap anywhere.
flatten() { sed 's/^[[:space:]]*//' <<<"$1" | tr '\n' ' '; }
# A text or a phrase as compared: without bold and quotation marks, and in
# Chinese, which wraps between any two characters, without spaces.
plain_words() {  # <language> <text>
  if [ "$1" = chinese ]; then
    sed -E 's/\*\*|[“”"]|[[:space:]]//g' <<<"$2"
  else
    sed -E 's/\*\*|[“”"]//g; s/[[:space:]]+/ /g' <<<"$2"
  fi
}
# What a text states, one a line; nothing when it states none. A number may
# stand right after a Chinese character ("约12秒"), so no \b before it.
files_in() { grep -oE '\b[A-Za-z0-9_]+\.(exe|dll|she|msc)\b|SHA256SUMS' <<<"$1" | sort -u | tr '\n' ' ' || true; }
seconds_in() { grep -oE '[0-9]+ ?(秒|s\b|seconds?\b)' <<<"$1" | grep -oE '^[0-9]+' | sort -un || true; }
event_ids_in() { grep -oiE '(事件 ?ID|event ID)[^0-9]{0,12}[0-9]+' <<<"$1" | grep -oE '[0-9]+$' || true; }
sizes_in() { grep -oE '[0-9]+ ?(KB|KiB)\b' <<<"$1" | grep -oE '^[0-9]+' | sort -un || true; }
windows_in() { grep -oE 'Windows [A-Za-z0-9.]+ ?(或更高版本|or later)' <<<"$1" | cut -d' ' -f2 || true; }

# The close question's answers marked @Yes@, @No@, @Cancel@, by the labels of
# Windows' message box buttons: 是, 否, 取消 (quoted or bold), or English.
mark_answers_chinese() { sed -E 's/(“|\*\*)是(”|\*\*)/@Yes@/g; s/(“|\*\*)否(”|\*\*)/@No@/g; s/(“|\*\*)取消(”|\*\*)/@Cancel@/g'; }
mark_answers_english() { sed -E 's/\b(Yes|No|Cancel)\b/@\1@/g'; }

# What a clause says its answer does, in the handler's terms and order.
actions_of() {
  local said=()
  grep -qE '论坛|forum' <<<"$1" && said+=(forum)
  grep -qE '(^|[^不])退出|\bquits\b' <<<"$1" && said+=(quit)
  grep -qE '不退出|留|\bstays\b' <<<"$1" && said+=(stay)
  echo "${said[*]}"
}

# A clause runs from an answer's label to the next label or the end of the
# sentence. Each clause that says what its answer does says what the handler
# does, and each answer is told at least once. A label whose clause says none
# of it (the repair's own Yes and No, the Yes that opens a link) is passed over.
check_answers() {
  local name="$1" marked="$2" clause answer said
  local -A told=()
  while IFS= read -r clause; do
    said="$(actions_of "$clause")"
    [ -n "$said" ] || continue
    answer="${clause#@}"
    answer="${answer%%@*}"
    told[$answer]=1
    [ "$said" = "${does[$answer]}" ] ||
      fail "$name: \"$clause\" says $answer does: $said; Form_QueryUnload: ${does[$answer]}"
  done < <(sed -E 's/@[A-Za-z]+@/\n&/g' <<<"$marked" | grep '^@' | sed -E 's/[.;。；].*//')
  for answer in "${!does[@]}"; do
    [ -n "${told[$answer]:-}" ] || fail "$name does not say what $answer does on closing"
  done
}

# Every value a text gives for a fact is the sources' one, and it gives one.
states_only() {  # <text's name> <fact> <the sources' value> <values given, one a line>
  local value
  [ -n "$4" ] || fail "$1 does not give $2"
  for value in $4; do
    [ "$value" = "$3" ] || fail "$1 gives $2 as $value; the sources: $3"
  done
}

page_text="$(cat "$page")"
page_files="$(files_in "$page_text")"
[ -n "$page_files" ] || fail "README.zh-CN.md names no file"

check() {
  local name="$1" text words caption term files seconds
  local -n says="says_$3"
  text="$(flatten "$2")"
  words="$(plain_words "$3" "$text")"
  for caption in "${captions[@]}"; do
    grep -qF -- "$caption" <<<"$text" || fail "$name does not name the button $caption"
  done
  for term in "certutil -hashfile" "Get-FileHash" "Kernel-PnP" "$block_reason" "${says[@]}"; do
    grep -qF -- "$(plain_words "$3" "$term")" <<<"$words" || fail "$name does not say: $term"
  done
  files="$(files_in "$text")"
  [ "$files" = "$page_files" ] || fail "$name names the files: $files; README.zh-CN.md: $page_files"

  seconds="$(seconds_in "$text")"
  [ "$seconds" = "$(sort -un <<<"$repair_seconds"$'\n'"$shell_down_seconds")" ] ||
    fail "$name gives the seconds ${seconds//$'\n'/ }; the repair takes $repair_seconds, the shell is down $shell_down_seconds"
  states_only "$name" "the event ID" "$event_id" "$(event_ids_in "$text")"
  states_only "$name" "the oldest Windows" "$windows" "$(windows_in "$text")"
  [ -z "$limit_kb" ] || states_only "$name" "the skin file's size limit in KB" "$limit_kb" "$(sizes_in "$text")"
  check_answers "$name" "$(mark_answers_"$3" <<<"$text")"
}
check "README.zh-CN.md" "$page_text" chinese
check "readme.txt (中文)" "$chinese" chinese
check "readme.txt (English)" "$english" english
[ "$status" = 0 ] && echo "readmes agree: captions ${captions[*]}; files $page_files;" \
  "repair ${repair_seconds} s (shell down ${shell_down_seconds} s); Windows $windows; event $event_id;" \
  "skin file up to $limit_kb KB, CR LF line ends; SmartScreen, eject button $eject_caption," \
  "Safely Remove Hardware, Task Manager and step 3 in each language;" \
  "block reason $block_reason; Yes: ${does[Yes]}, No: ${does[No]}, Cancel: ${does[Cancel]}"
exit "$status"

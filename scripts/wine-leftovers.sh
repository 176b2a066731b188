#!/usr/bin/env bash
# Says whether anything still runs in a Wine prefix inside FOLDER (a process
# whose WINEPREFIX lies there: a wineserver, or a program a test left), after
# giving them a few seconds to end. Lists them and exits 1 if so. The caller
# and its ancestors are left out, as they may carry a WINEPREFIX themselves.
# Usage: wine-leftovers.sh FOLDER [SECONDS]
set -uo pipefail
folder="$(cd "$1" && pwd)" || exit 2
seconds="${2:-10}"

ppid_of() {
  local line
  while IFS= read -r line; do
    [[ "$line" == PPid:* ]] && { echo "${line##*[[:space:]]}"; return; }
  done <"/proc/$1/status" 2>/dev/null
  echo 0
}

# This script, its ancestors and its own children are not leftovers.
ours=" "
pid=$$
while [ "$pid" -gt 1 ]; do
  ours+="$pid "
  pid="$(ppid_of "$pid")"
done

leftovers() {
  local proc pid var
  for proc in /proc/[0-9]*; do
    pid="${proc#/proc/}"
    [[ "$ours" == *" $pid "* ]] && continue
    [ "$(ppid_of "$pid")" = $$ ] && continue
    while IFS= read -r -d '' var; do
      if [[ "$var" == WINEPREFIX="$folder"/* ]]; then
        echo "$pid ${var#WINEPREFIX=}: $(tr '\0' ' ' <"$proc/cmdline" 2>/dev/null)"
        break
      fi
    done <"$proc/environ" 2>/dev/null
  done
}

deadline=$((SECONDS + seconds))
while found="$(leftovers 2>/dev/null)"; [ -n "$found" ]; do
  if [ "$SECONDS" -ge "$deadline" ]; then
    echo "wine-leftovers: still running in a prefix under $folder:" >&2
    echo "$found" >&2
    exit 1
  fi
  sleep 0.5
done
echo "wine-leftovers: nothing runs in a prefix under $folder"

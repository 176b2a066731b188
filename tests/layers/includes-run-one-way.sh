#!/usr/bin/env bash
# The layers' includes run one way: the window uses the system services and
# the handlers, the services use the handlers' interfaces and know no window
# (neither its files nor its design), and the handlers name no Windows
# header. An include against that direction fails here.
# Usage: includes-run-one-way.sh <source folder>
set -uo pipefail
cd "$1" || exit 2
status=0
forbid() {  # <folder> <what it must not include, as an extended regex> <why>
  if grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($2)" -r "$1"; then
    echo "includes: $1 $3" >&2
    status=1
  fi
}
forbid system 'window/|resources/form1_design\.h' "includes a file of window/ or the window's design: the services must not reach back into the window"
forbid app 'window/|system/|windows\.h' "names the Win32 side: the handlers talk to app/host.h only"
exit $status

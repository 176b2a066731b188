#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12, as root.
# Quick when everything is already there.
set -euo pipefail

packages=(cmake make g++ googletest libgtest-dev
          g++-mingw-w64-i686-posix mingw-w64-i686-dev
          g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
          wine wine32:i386 wine64 fonts-wine xvfb xauth fonts-wqy-microhei imagemagick
          clang libclang-rt-14-dev zip unzip)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -gt 0 ] || exit 0

echo "setup: installing ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi

# apt-get update's complaints are kept, to name the index that failed.
update_log="$(mktemp)"
trap 'rm -f "$update_log"' EXIT
refresh() { $sudo apt-get update -q 2>&1 | tee -a "$update_log"; }
install_missing() { DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "$@" "${missing[@]}"; }

# A mirror caught mid-sync fails one index; one more try after a pause often
# finds it in step.
refresh || { sleep 10; refresh; } ||
  echo "setup: some package lists could not be refreshed; installing from those that were" >&2
failed_index="$(grep -o 'Failed to fetch [^ ]*' "$update_log" | sed 's/^Failed to fetch //' | sort -u | tr '\n' ' ' || true)"
failed_index="${failed_index% }"

install_missing && exit 0

# Without the security archive's i386 index, apt takes the amd64 libraries
# from the security archive and their i386 twins from the release, and
# Multi-Arch: same packages (wine32's libraries) cannot be installed. The
# release's own suite has both architectures at one version.
suite="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
if [ -n "$suite" ]; then
  echo "setup: the install failed${failed_index:+ (apt could not fetch $failed_index)}; trying once more with the release's own versions for both architectures (-t $suite)" >&2
  install_missing -t "$suite" && exit 0
fi

if [ -n "$failed_index" ]; then
  echo "setup: stopped: the packages could not be installed because apt could not fetch $failed_index. The Debian mirror is probably being updated: wait for it (usually a few hours) and run the same command again." >&2
else
  echo "setup: stopped: apt-get could not install ${missing[*]} (see its messages above); fix what they name and run the same command again." >&2
fi
exit 1

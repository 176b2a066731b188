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
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}" >&2
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  # A mirror caught mid-sync fails one index; the others still arrive and
  # usually hold every package, so try again once and then let the install
  # say whether anything is really missing.
  $sudo apt-get update -q || { sleep 10; $sudo apt-get update -q; } ||
    echo "setup: some package lists could not be refreshed; installing from those that were" >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

#!/usr/bin/env bash
# Shows what scripts/setup.sh does on a fresh Debian 12 machine when the
# security archive's i386 package index cannot be had, as while a mirror is
# caught mid-sync: a throwaway minimal Debian 12 root (debootstrap), whose
# security source lists amd64 only, gets this checkout's files and runs
# `bash scripts/setup.sh` as root, then tries 32-bit Wine. Prints one line
# with the outcome and the time; the root is removed afterwards.
# Downloads about 1 GB, so it is not part of the test command. As root.
# Usage: scripts/repro-missing-index.sh [DEBIAN_MIRROR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
mirror="${1:-http://deb.debian.org/debian}"
[ "$(id -u)" -eq 0 ] || { echo "repro: run as root (debootstrap and chroot)" >&2; exit 2; }
command -v debootstrap >/dev/null ||
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap >/dev/null

work="$(mktemp -d /var/tmp/missing-index.XXXXXX)"
cleanup() {
  for m in dev/pts dev proc sys; do umount -l "$work/$m" 2>/dev/null || true; done
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT

echo "repro: making a minimal Debian 12 root in $work" >&2
debootstrap --variant=minbase bookworm "$work" "$mirror" >"$work.log" 2>&1 ||
  { tail -20 "$work.log" >&2; rm -f "$work.log"; exit 1; }
rm -f "$work.log"

# The release and its updates as usual; the security archive for amd64 only,
# which leaves apt without its i386 index, as a mirror mid-sync does.
rm -f "$work/etc/apt/sources.list"
cat >"$work/etc/apt/sources.list.d/debian.sources" <<SOURCES
Types: deb
URIs: $mirror
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Architectures: amd64
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
cp /etc/resolv.conf "$work/etc/resolv.conf"
mkdir -p "$work/src"
(cd "$root" && tar --exclude=./build --exclude=./dist -cf - .) | tar -xf - -C "$work/src"
mount -t proc proc "$work/proc"
mount -t sysfs sys "$work/sys"
mount --bind /dev "$work/dev"
mount --bind /dev/pts "$work/dev/pts"

start=$SECONDS
if chroot "$work" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root bash -c 'cd /src && bash scripts/setup.sh'; then
  setup="setup.sh succeeded"
  rc=0
else
  setup="setup.sh FAILED"
  rc=1
fi
took=$((SECONDS - start))
wine32="$(chroot "$work" /usr/lib/wine/wine --version 2>&1 </dev/null || true)"
echo "repro: security archive without i386: $setup in ${took} s; 32-bit Wine: ${wine32:-not installed}"
exit $rc

# Sourced: which Wine the end-to-end tests use here, which build they drive,
# and why. Sets WINEARCH, wine_build_dir and wine_build_reason.
#
# The product is a 32-bit program, tested under 32-bit Wine wherever the
# kernel runs 32-bit programs. Some kernels are built without that support:
# there Wine's 32-bit loader cannot start at all ("Exec format error"), and
# only there do the tests drive a 64-bit build of the same source under
# 64-bit Wine. A 32-bit Wine that is missing (scripts/setup.sh installs it)
# or fails for any other reason stops the caller with a message: it is never
# a reason to test the 64-bit build instead.
_arch_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
_wine32=/usr/lib/wine/wine
_wine64=/usr/lib/wine/wine64

_arch_stop() {
  echo "wine-arch: $*" >&2
  exit 1
}

[ -e "$_wine32" ] ||
  _arch_stop "32-bit Wine is not installed ($_wine32 is missing): run 'bash scripts/setup.sh' as root, which installs wine32:i386"
_wine32_says="$("$_wine32" --version 2>&1 </dev/null)" && _wine32_rc=0 || _wine32_rc=$?
if [ "$_wine32_rc" -eq 0 ]; then
  export WINEARCH=win32
  wine_build_dir="$_arch_root/build/win"
  wine_build_reason="the shipped 32-bit build (build/win) under 32-bit Wine: this kernel runs 32-bit programs ($_wine32_says)"
elif printf '%s' "$_wine32_says" | grep -qi 'exec format error'; then
  [ -x "$_wine64" ] ||
    _arch_stop "this kernel runs no 32-bit programs and 64-bit Wine ($_wine64) is missing: run 'bash scripts/setup.sh' as root"
  export WINEARCH=win64
  export WINELOADER="$_wine64"
  case ":$PATH:" in *":$_arch_root/scripts/wine64:"*) ;; *) export PATH="$_arch_root/scripts/wine64:$PATH" ;; esac
  wine_build_dir="$_arch_root/build/win64"
  wine_build_reason="a 64-bit build of the same source (build/win64) under 64-bit Wine: this kernel runs no 32-bit programs ($_wine32: Exec format error)"
else
  _arch_stop "32-bit Wine is installed but does not start (exit $_wine32_rc): $_wine32_says"
fi
unset _wine32_says _wine32_rc

# Sourced: which Wine the end-to-end tests can use here, and which build they drive.
# The product is a 32-bit program, tested under 32-bit Wine. Some kernels are
# built without 32-bit support, and then Wine's 32-bit loader cannot start at
# all ("Exec format error"); there the tests drive a 64-bit build of the same
# source under 64-bit Wine instead.
_arch_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if /usr/lib/wine/wine --version >/dev/null 2>&1 || [ ! -x /usr/lib/wine/wine64 ]; then
  export WINEARCH=win32
  wine_build_dir="$_arch_root/build/win"
else
  export WINEARCH=win64
  export WINELOADER=/usr/lib/wine/wine64
  case ":$PATH:" in *":$_arch_root/scripts/wine64:"*) ;; *) export PATH="$_arch_root/scripts/wine64:$PATH" ;; esac
  wine_build_dir="$_arch_root/build/win64"
fi

# Shared settings of the project's scripts: where things are, and how Wine is run here.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="${PERCHETTE_BUILD:-$root/build}"
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
# Wine's own crash and debugger windows would stall an unattended run.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winemenubuilder.exe=d;mscoree,mshtml="

say() { printf '%s\n' "$*" >&2; }
die() { say "error: $*"; exit 1; }

# Machines whose kernel runs 32-bit x86 code run the 32-bit program under Wine as it ships; on
# the others the same sources are built for x86-64 and that build is what runs under Wine.
native32() { [[ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]] && /usr/lib/wine/wine --version >/dev/null 2>&1; }

wine_arch() { if native32; then echo i686; else echo x86_64; fi; }

wine_loader() { if native32; then echo wine; else echo /usr/lib/wine/wine64; fi; }

# The build folder whose programs run under Wine here.
run_build() { if native32; then echo "$build/win32"; else echo "$build/win64"; fi; }

# Sets the display resolution (dots per inch) of the Wine prefix, which Wine reads as each program
# starts.
log_pixels() {
  "$(wine_loader)" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

wine_server() {
  if [[ -x /usr/lib/wine/wineserver64 ]]; then /usr/lib/wine/wineserver64 "$@"; else wineserver "$@"; fi 2>/dev/null || true
}

# Configures a build folder, and again whenever it is asked for with other settings than the last
# time; otherwise later builds reuse its settings.
configure() {  # folder, extra cmake arguments...
  local dir=$1; shift
  local settings="$dir/.configured-with"
  [[ -f "$dir/CMakeCache.txt" && "$(cat "$settings" 2>/dev/null)" == "$*" ]] && return
  rm -f "$settings"
  cmake -S "$root" -B "$dir" -Wno-dev "$@" >/dev/null && printf '%s\n' "$*" >"$settings"
}

# Whether the kernel runs 32-bit x86 programs itself, not through an emulator: it runs a 96-byte
# one whose only work is to exit with status 42. PERCHETTE_I386=yes or no answers instead.
kernel_runs_i386() {
  case "${PERCHETTE_I386:-}" in yes) return 0 ;; no) return 1 ;; esac
  [[ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]] || return 1
  local probe status=0
  probe=$(mktemp) || return 1
  printf '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x60\0\0\0\x60\0\0\0\x05\0\0\0\0\x10\0\0\xbb\x2a\0\0\0\xb8\x01\0\0\0\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  ((status == 42))
}

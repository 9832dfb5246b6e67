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

# Configures a build folder once; later builds reuse its settings.
configure() {  # folder, extra cmake arguments...
  local dir=$1; shift
  [[ -f "$dir/CMakeCache.txt" ]] || cmake -S "$root" -B "$dir" -Wno-dev "$@" >/dev/null
}

# Sourced by the Wine harness, scripts/install-deps.sh and scripts/demo.
#
# Debian's `wine` script (and wineboot, regedit, winepath, which call it) prefers the 32-bit
# loader whenever wine32 is installed, and on a kernel without 32-bit support that loader cannot
# even start, which takes every 64-bit program down with it. So everything goes through the
# 64-bit loader; Wine itself hands a 32-bit program to the 32-bit loader beside it.
#
#   wine_run PROGRAM ARGS...     runs a Windows program (wineboot, regedit, reg, an .exe)
#   wine_server ARGS...          the wineserver matching that loader
#   wine_32bit_unavailable       prints why 32-bit programs cannot run here, or nothing
#
# SETUP_NO_32BIT=1 takes the "no 32-bit programs" path on any machine.

WINE_LOADER64=${SETUP_WINE64:-/usr/lib/wine/wine64}
WINE_LOADER32=/usr/lib/wine/wine
if [ -x /usr/lib/wine/wineserver64 ]; then
  WINE_SERVER=/usr/lib/wine/wineserver64
else
  WINE_SERVER=$(command -v wineserver || echo wineserver)
fi

wine_env_exports() {
  export WINELOADER=$WINE_LOADER64 WINESERVER=$WINE_SERVER
}

wine_run() {
  WINELOADER=$WINE_LOADER64 WINESERVER=$WINE_SERVER "$WINE_LOADER64" "$@"
}

wine_server() {
  "$WINE_SERVER" "$@"
}

wine_installed() {
  [ -x "$WINE_LOADER64" ]
}

# Whether the kernel starts an i386 program at all: a hand-made ELF of 96 bytes whose only
# instructions are exit(42). Without IA32 emulation the kernel refuses it with ENOEXEC.
kernel_runs_32bit() {
  local elf status
  elf=$(mktemp "${TMPDIR:-/tmp}/setup-i386-probe.XXXXXX") || return 1
  # ELF header: 32-bit, little-endian, executable, i386, entry 0x08048054, one program header.
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$elf"
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$elf"
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' >>"$elf"
  # One loadable read+execute segment: the whole file at 0x08048000.
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' >>"$elf"
  printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$elf"
  # mov eax,1; mov ebx,42; int 0x80
  printf '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >>"$elf"
  chmod +x "$elf"
  "$elf" 2>/dev/null
  status=$?
  rm -f "$elf"
  [ "$status" -eq 42 ]
}

# The one reason 32-bit Windows programs cannot run here, or nothing when they can.
wine_32bit_unavailable() {
  if [ "${SETUP_NO_32BIT:-0}" = 1 ]; then
    echo "32-bit programs are switched off (SETUP_NO_32BIT=1)"
  elif ! kernel_runs_32bit; then
    echo "this machine's kernel cannot run 32-bit programs"
  elif [ ! -x "$WINE_LOADER32" ]; then
    echo "32-bit Wine (wine32:i386) is not installed"
  fi
}

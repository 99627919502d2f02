#!/usr/bin/env bash
# Holds THIRD-PARTY-NOTICES.txt to what the linker put into the release programs: every piece of
# a runtime that a program's link map (-Wl,-Map) shows linked in must be named in the notices,
# and the licence texts in the notices must be those of the Debian copyright files they cite,
# where those files are installed.
#   check-notices.sh NOTICES MAP...
set -uo pipefail
notices=$1
shift
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; return 1; fi; }
[ -f "$notices" ] || { echo "FAIL: no $notices"; exit 1; }
[ $# -gt 0 ] || { echo "FAIL: no link map given"; exit 1; }

for map in "$@"; do
  [ -f "$map" ] || { echo "FAIL: no link map $map (build the program first)"; fail=1; continue; }
  # Archive members the linker took, and the objects it loaded whole, from outside the build
  # tree: the toolchain's. Import libraries count too: their stubs are linked in.
  pieces=$( {
    awk '/^Archive member included/ {f = 1; next}
         /^(Discarded input sections|Allocating common symbols|Memory Configuration)/ {f = 0}
         f && /^\// {print $1}' "$map" | sed 's/(.*//'
    sed -n 's/^LOAD \(\/[^ ]*\.o\)$/\1/p' "$map" | grep -v '/tmp/'
  } | sed 's#.*/##' | sort -u)
  [ -n "$pieces" ] || { echo "FAIL: $map lists no runtime piece; is it a link map?"; fail=1; continue; }
  echo "$(basename "$map"): $(echo $pieces)"
  for piece in $pieces; do
    check "$(basename "$map"): $piece is named in the notices" 'grep -qF -- "$piece" "$notices"'
  done
done

# A block of a copyright file (from a line equal to FIRST to the next line starting with LAST)
# must stand in the notices unchanged; where FIRST occurs more than once, the nearest block.
holds_block() { # FILE FIRST LAST
  python3 - "$notices" "$@" <<'PY'
import sys
notices, source, first, last = sys.argv[1:]
text = open(notices).read()
lines = open(source).read().split("\n")
ends = [j for j, line in enumerate(lines) if line.startswith(last)]
starts = [i for i, line in enumerate(lines) if line == first]
blocks = ["\n".join(lines[i:j + 1]) for i in starts for j in ends[:] if j >= i
          and not any(i < k <= j for k in starts)]
sys.exit(0 if blocks and any(block in text for block in blocks) else 1)
PY
}
mingw=/usr/share/doc/mingw-w64-common/copyright
gcc=/usr/share/doc/gcc-mingw-w64-base/copyright
if [ -f "$mingw" ] && [ -f "$gcc" ]; then
  check "the MinGW-w64 ZPL-2.1 text is the copyright file's" \
    'holds_block "$mingw" "Files: *" " EVEN IF ADVISED OF THE POSSIBILITY OF SUCH DAMAGE."'
  check "the MinGW-w64 public-domain text is the copyright file's" \
    'holds_block "$mingw" "License: public-domain" " Domain."'
  check "the GCC Runtime Library Exception is the copyright file's" \
    'holds_block "$gcc" "GCC RUNTIME LIBRARY EXCEPTION" "requirements of the license of GCC."'
  check "the GCC copyright statement is the copyright file's" \
    'holds_block "$gcc" "GCC is Copyright (C) 1986, 1987, 1988, 1989, 1990, 1991, 1992, 1993, 1994," "Runtime Library Exception (included in this file):"'
else
  echo "note: the Debian copyright files are not installed here; the licence texts are not compared"
fi
if [ -f /usr/share/common-licenses/GPL-3 ]; then
  check "the GPL version 3 text is complete" \
    'holds_block /usr/share/common-licenses/GPL-3 "                    GNU GENERAL PUBLIC LICENSE" "<https://www.gnu.org/licenses/why-not-lgpl.html>."'
fi
exit $fail

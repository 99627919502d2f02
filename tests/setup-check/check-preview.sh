#!/usr/bin/env bash
# scripts/preview on the bundled example package with this build tree's programs: it must
# write a picture of plausible size (the window is about 400 x 420 pixels at 96 dpi).
#
#   check-preview.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
source_dir=$1
build=$2
out=$build/preview-test/example-package.png
rm -f "$out"
log=$build/preview-test/preview.log
mkdir -p "$(dirname "$log")"
"$source_dir/scripts/preview" "$source_dir/examples/package" --build-dir "$build" --out "$out" >"$log" 2>&1
status=$?
cat "$log"
if [ $status -eq 77 ]; then
  # ctest shows nothing of a skipped test: its one line goes to ctest's own output too.
  if [ "$(cat "/proc/$PPID/comm" 2>/dev/null)" = ctest ]; then
    tail -n 1 "$log" >>"/proc/$PPID/fd/1" 2>/dev/null || true
  fi
  exit 77
fi
[ $status -eq 0 ] || { echo "FAIL: scripts/preview ended with $status"; exit 1; }
[ -f "$out" ] || { echo "FAIL: no picture at $out"; exit 1; }
read -r width height < <(identify -format '%w %h\n' "$out")
bytes=$(stat -c %s "$out")
echo "picture: ${width}x${height}, $bytes bytes"
# Smaller would be a part of the window or a bare desktop; larger, the whole screen.
if [ "$width" -lt 300 ] || [ "$width" -gt 900 ] || [ "$height" -lt 300 ] || [ "$height" -gt 900 ] ||
  [ "$bytes" -lt 5000 ]; then
  echo "FAIL: implausible picture"
  exit 1
fi
echo PASS

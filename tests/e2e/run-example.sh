#!/usr/bin/env bash
# Runs the example program's end-to-end check in a build tree's Wine environment (wine-env.sh
# up first):
#
#   run-example.sh --build=DIR --driver=example-driver.exe --example=ResizingForm.exe --dpi=N
#
# The log stays in DIR/e2e-work/example-<N>dpi; screenshots end up as PNG files in
# DIR/e2e-shots/resizing-form-<N>dpi.*.png.
# Exit status: 0 pass, 1 fail, 77 skipped (this build's programs cannot run here).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

build= driver= example= dpi=96
for arg in "$@"; do
  case $arg in
    --build=*) build=${arg#*=} ;;
    --driver=*) driver=${arg#*=} ;;
    --example=*) example=${arg#*=} ;;
    --dpi=*) dpi=${arg#*=} ;;
    *) echo "run-example: unknown argument $arg" >&2; exit 2 ;;
  esac
done

fail() {
  echo "FAIL: $*"
  exit 1
}

[ -n "$build" ] && [ -n "$driver" ] && [ -n "$example" ] ||
  fail "usage: run-example.sh --build=DIR --driver=EXE --example=EXE --dpi=N"
if [ -f "$build/wine/unavailable.txt" ]; then
  cat "$build/wine/unavailable.txt"
  exit 77
fi
[ -f "$driver" ] || fail "the driver was not built: $driver"
[ -f "$example" ] || fail "the example program was not built: $example"

env_lines=$("$here/wine-env.sh" shell "$build") || fail "no Wine environment (run: wine-env.sh up $build)"
eval "$env_lines"

work=$build/e2e-work/example-${dpi}dpi
shots=$build/e2e-shots
rm -rf "$work"
mkdir -p "$work" "$shots" || fail "cannot create $work"
# Wine's output into files, never ctest's pipe (see run-scenario.sh).
"$here/wine-env.sh" density "$build" "$dpi" </dev/null >"$work/density.log" 2>&1 ||
  fail "cannot set the density to $dpi dpi: $(cat "$work/density.log")"
rm -f "$shots/resizing-form-${dpi}dpi".*

winpath() { printf 'Z:%s' "${1//\//\\}"; }

LC_ALL=C.UTF-8 timeout -k 5 45 "$WINELOADER" "$driver" "$(winpath "$example")" "$(winpath "$shots")" \
  --dpi="$dpi" --work="$(winpath "$work")" </dev/null >"$work/driver.log" 2>&1
status=$?
cat "$work/driver.log"
if [ $status -eq 124 ]; then
  echo "FAIL: the driver did not finish within 45 s"
  "$WINESERVER" -k 2>/dev/null || true
fi
# Wine exits 0 even when a program cannot start: the driver's verdict must be there.
grep -q '^PASS' "$work/driver.log" || status=1

for bmp in "$shots/resizing-form-${dpi}dpi".*.bmp; do
  [ -f "$bmp" ] || continue
  if command -v convert >/dev/null && convert "$bmp" "${bmp%.bmp}.png"; then
    rm -f "$bmp"
  fi
done
[ $status -eq 0 ]

#!/usr/bin/env bash
# Runs one end-to-end scenario in a build tree's Wine environment (wine-env.sh up first):
#
#   run-scenario.sh --build=DIR --driver=driver.exe --setup=Setup.exe --package=DIR
#                   --locale=en|ja --dpi=96|120|144 --client=WxH SCENARIO
#
# The scenario gets a fresh copy of the package in DIR/e2e-work/SCENARIO/package, which the
# driver prepares (setup file, missing installer, installer moved to DIR/e2e-work/SCENARIO/on-path);
# after the run the copy must be byte for
# byte what it was before. Screenshots end up as PNG files in DIR/e2e-shots.
# Exit status: 0 pass, 1 fail, 77 skipped (this build's programs cannot run here).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

build= driver= setup=unset package= locale=en dpi=96 client= scenario=
for arg in "$@"; do
  case $arg in
    --build=*) build=${arg#*=} ;;
    --driver=*) driver=${arg#*=} ;;
    --setup=*) setup=${arg#*=} ;;
    --package=*) package=${arg#*=} ;;
    --locale=*) locale=${arg#*=} ;;
    --dpi=*) dpi=${arg#*=} ;;
    --client=*) client=${arg#*=} ;;
    --*) echo "run-scenario: unknown option $arg" >&2; exit 2 ;;
    *) scenario=$arg ;;
  esac
done

fail() {
  echo "FAIL: $*"
  exit 1
}

[ -n "$build" ] && [ -n "$driver" ] && [ -n "$package" ] && [ -n "$client" ] && [ -n "$scenario" ] ||
  fail "usage: run-scenario.sh --build=DIR --driver=EXE --setup=EXE --package=DIR --locale=en|ja --dpi=N --client=WxH SCENARIO"

if [ -f "$build/wine/unavailable.txt" ]; then
  cat "$build/wine/unavailable.txt"
  exit 77
fi
[ -n "$setup" ] && [ "$setup" != unset ] ||
  fail "this build tree has no Setup target, so there is no Setup.exe to test"
[ -f "$setup" ] || fail "Setup.exe was not built: $setup"
[ -f "$driver" ] || fail "the driver was not built: $driver"
[ -f "$package/Drivers/dpinst64.exe" ] ||
  fail "the example package is not laid out in $package (build the example-package target)"

# Given to Wine only (the shell would complain about a locale glibc does not have).
case $locale in
  en) wine_locale=C.UTF-8 ;;
  # Japanese user locale and code page 932 for the launcher; no glibc locale is needed.
  ja) wine_locale=ja_JP.UTF-8 ;;
  *) fail "locale must be en or ja, not $locale" ;;
esac

env_lines=$("$here/wine-env.sh" shell "$build") || fail "no Wine environment (run: wine-env.sh up $build)"
# WINELOADER is the 64-bit loader: it starts 64-bit programs itself and hands 32-bit ones on.
eval "$env_lines"

work=$build/e2e-work/$scenario
shots=$build/e2e-shots
rm -rf "$work"
mkdir -p "$work" "$shots" || fail "cannot create $work"

# Wine's output goes into files, never straight to ctest's pipe: the desktop process that Wine
# starts after a server restart inherits the descriptors and would keep the pipe open.
"$here/wine-env.sh" density "$build" "$dpi" </dev/null >"$work/density.log" 2>&1 ||
  fail "cannot set the density to $dpi dpi: $(cat "$work/density.log")"
rm -f "$shots/$scenario".*
cp -a "$package" "$work/package" || fail "cannot copy the package"

# Wine's drive Z: is the Unix root.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# Everything in the folder: type, mode and path of each entry, then each file's checksum.
listing() {
  (cd "$1" && find . -printf '%y %m %p\n' | LC_ALL=C sort &&
    find . -type f -print0 | LC_ALL=C sort -z | xargs -0 -r sha256sum)
}

LC_ALL=$wine_locale timeout -k 5 30 "$WINELOADER" "$driver" --prepare "$scenario" "$(winpath "$work/package")" \
  </dev/null >"$work/prepare.log" 2>&1
prepared=$?
cat "$work/prepare.log"
[ $prepared -eq 0 ] || fail "preparing the package copy failed"
listing "$work/package" >"$work/before.txt"

start=$(date +%s%N)
LC_ALL=$wine_locale timeout -k 5 45 "$WINELOADER" "$driver" "$scenario" "$(winpath "$work/package")" "$(winpath "$setup")" \
  "$(winpath "$shots")" --client="$client" --dpi="$dpi" --work="$(winpath "$work")" \
  </dev/null >"$work/driver.log" 2>&1
status=$?
end=$(date +%s%N)
cat "$work/driver.log"
if [ $status -eq 124 ]; then
  echo "FAIL: the driver did not finish within 45 s"
  # Whatever it left running goes with the server; the next scenario starts a new one.
  "$WINESERVER" -k 2>/dev/null || true
fi

listing "$work/package" >"$work/after.txt"
if diff -u "$work/before.txt" "$work/after.txt" >"$work/package.diff"; then
  echo "ok: package folder unchanged ($(grep -c '^f ' "$work/before.txt") files, same checksums)"
else
  echo "FAIL: the package folder changed:"
  cat "$work/package.diff"
  status=1
fi

for bmp in "$shots/$scenario".*.bmp; do
  [ -f "$bmp" ] || continue
  if command -v convert >/dev/null && convert "$bmp" "${bmp%.bmp}.png"; then
    rm -f "$bmp"
  fi
done

printf 'e2e.%s: %s, driver run %d ms (locale %s, %s dpi)\n' "$scenario" \
  "$([ $status -eq 0 ] && echo PASS || echo FAIL)" $(((end - start) / 1000000)) "$locale" "$dpi"
[ $status -eq 0 ]

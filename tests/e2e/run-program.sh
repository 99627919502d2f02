#!/usr/bin/env bash
# Runs one test program of a build tree under its Wine environment (wine-env.sh up first) and
# passes when it prints PASS and ends with 0. Exit status 77: this build's programs cannot run
# here (the reason is printed in one line).
#
#   run-program.sh BUILD_DIR PROGRAM.exe
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
program=$2

if [ -f "$build/wine/unavailable.txt" ]; then
  cat "$build/wine/unavailable.txt"
  exit 77
fi
env_lines=$("$here/wine-env.sh" shell "$build") || { echo "FAIL: no Wine environment"; exit 1; }
eval "$env_lines"
log=$(mktemp "${TMPDIR:-/tmp}/setup-program.XXXXXX")
# Output into a file, not ctest's pipe (see run-scenario.sh).
timeout -k 5 60 "$WINELOADER" "$program" </dev/null >"$log" 2>&1
status=$?
cat "$log"
# Wine exits 0 even when a program cannot start: the program's own verdict must be there.
grep -q '^PASS' "$log" || status=1
rm -f "$log"
exit $status

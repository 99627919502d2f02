#!/usr/bin/env bash
# Runs the contract suite's Windows build in a build tree's Wine environment (wine-env.sh up
# first):   run-under-wine.sh BUILD_DIR CONTRACT_EXE [CASE_FILTER]
# Exit status: 0 pass, 1 fail, 77 skipped (this build's programs cannot run here).
set -uo pipefail
build=$(cd "$1" && pwd) || { echo "FAIL: no build folder $1"; exit 1; }
exe=$(realpath "$2")
e2e=$(cd "$(dirname "$0")/../e2e" && pwd)

if [ -f "$build/wine/unavailable.txt" ]; then
  cat "$build/wine/unavailable.txt"
  exit 77
fi
[ -f "$exe" ] || { echo "FAIL: the contract suite was not built: $exe"; exit 1; }
env_lines=$("$e2e/wine-env.sh" shell "$build") || { echo "FAIL: no Wine environment"; exit 1; }
eval "$env_lines"

work=$build/e2e-work/contract
rm -rf "$work"
mkdir -p "$work" || exit 1
# Into a file, not a pipe (see run-scenario.sh); the cases make their files in this folder.
(cd "$work" && LC_ALL=C.UTF-8 timeout -k 5 90 "$WINELOADER" "$exe" "${@:3}" </dev/null \
  >"$work/contract.log" 2>&1)
status=$?
cat "$work/contract.log"
# Wine exits 0 even when a program cannot start at all: the summary line must be there.
if ! grep -qE '^[0-9]+ passed, 0 failed' "$work/contract.log"; then
  echo "FAIL: the contract suite did not pass under Wine (status $status)"
  exit 1
fi
[ "$status" -eq 0 ]

#!/usr/bin/env bash
# Runs one test program of a build tree under its Wine environment (wine-env.sh up first) and
# passes when its output has the verdict line and it ends with 0. Exit status 77: this build's
# programs cannot run here (the reason is printed in one line).
#
#   run-program.sh BUILD_DIR PROGRAM.exe [--verdict=ERE] [--work=NAME] [--share=SHARE] [ARGS...]
#
# The verdict is a line matching ERE (default: one starting with PASS). With --work the
# program runs in a fresh BUILD_DIR/e2e-work/NAME, where its log stays. With --share (needs
# --work) the folder share/ there is the network share \\localhost\SHARE (Wine maps UNC names
# through dosdevices/unc/), and E2E_SHARE names it to the program.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
program=$2
shift 2
verdict='^PASS' work= share=
while [ $# -gt 0 ]; do
  case $1 in
    --verdict=*) verdict=${1#*=} ;;
    --work=*) work=$build/e2e-work/${1#*=} ;;
    --share=*) share=${1#*=} ;;
    *) break ;;
  esac
  shift
done

if [ -f "$build/wine/unavailable.txt" ]; then
  cat "$build/wine/unavailable.txt"
  exit 77
fi
[ -f "$program" ] || { echo "FAIL: not built: $program"; exit 1; }
env_lines=$("$here/wine-env.sh" shell "$build") || { echo "FAIL: no Wine environment"; exit 1; }
eval "$env_lines"
if [ -n "$work" ]; then
  rm -rf "$work"
  mkdir -p "$work" || exit 1
  log=$work/program.log
  if [ -n "$share" ]; then
    mkdir -p "$work/share" "$WINEPREFIX/dosdevices/unc/localhost" &&
      ln -sfn "$work/share" "$WINEPREFIX/dosdevices/unc/localhost/$share" || exit 1
    export E2E_SHARE="\\\\localhost\\$share"
  fi
else
  [ -z "$share" ] || { echo "FAIL: --share needs --work"; exit 1; }
  work=$PWD
  log=$(mktemp "${TMPDIR:-/tmp}/setup-program.XXXXXX")
  trap 'rm -f "$log"' EXIT
fi
# Output into a file, not ctest's pipe (see run-scenario.sh).
(cd "$work" && LC_ALL=C.UTF-8 timeout -k 5 90 "$WINELOADER" "$program" "$@" </dev/null >"$log" 2>&1)
status=$?
cat "$log"
# Wine exits 0 even when a program cannot start: the program's own verdict must be there.
if ! grep -qE "$verdict" "$log"; then
  echo "FAIL: no verdict line from $(basename "$program") (status $status)"
  exit 1
fi
exit $status

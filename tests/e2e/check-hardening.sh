#!/usr/bin/env bash
# What Wine can show of Setup.exe's first act: with calls traced (WINEDEBUG=+relay), the calls
# that Setup.exe's own image makes begin, after the C runtime's start-up, with the DLL search
# hardening, in order, before any window, file or resource call; and Setup.exe itself never
# calls LoadLibrary. Wine prefers its built-in system DLLs anyway, so it cannot show that a
# planted DLL would be refused; the host tests cover the fallbacks.
#
#   check-hardening.sh --build=DIR --setup=Setup.exe --package=DIR
# Exit status: 0 pass, 1 fail, 77 skipped (this build's programs cannot run here).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build= setup= package=
for arg in "$@"; do
  case $arg in
    --build=*) build=${arg#*=} ;;
    --setup=*) setup=${arg#*=} ;;
    --package=*) package=${arg#*=} ;;
    *) echo "check-hardening: unknown argument $arg" >&2; exit 2 ;;
  esac
done
fail() { echo "FAIL: $*"; exit 1; }
if [ -f "$build/wine/unavailable.txt" ]; then
  cat "$build/wine/unavailable.txt"
  exit 77
fi
[ -f "$setup" ] || fail "Setup.exe was not built: $setup"
eval "$("$here/wine-env.sh" shell "$build")" || fail "no Wine environment"
work=$build/e2e-work/hardening
rm -rf "$work" && mkdir -p "$work" && cp -a "$package" "$work/package" || fail "cannot copy the package"
log=$work/relay.log
# The window then waits for the user; the trace up to that point is what counts.
(cd "$work/package" && WINEDEBUG=+relay,+loaddll timeout -k 5 15 "$WINELOADER" ./Setup.exe </dev/null >"$log" 2>&1)
base=$(grep -m1 -E 'loaddll.*Setup\.exe" at ' "$log" | sed -E 's/.* at ([0-9A-Fa-f]+):.*/\1/')
# Other processes' images (Wine's own programs) load at the same address: only the thread
# that loaded Setup.exe counts.
thread=$(grep -m1 -E 'loaddll.*Setup\.exe" at ' "$log" | cut -d: -f1)
[ -n "$base" ] || fail "Setup.exe did not load (see $log)"
# Calls on that thread whose return address lies in Setup.exe's image (under 1 MiB), in order.
calls=$(python3 - "$base" "$log" "$thread" <<'PY'
import re, sys
base = int(sys.argv[1], 16)
call = re.compile(r"^" + re.escape(sys.argv[3]) + r":Call ([\w.]+)\(.*\bret=([0-9a-f]+)$")
with open(sys.argv[2], errors="replace") as log:
    for line in log:
        m = call.search(line.rstrip("\n"))
        if m and base <= int(m.group(2), 16) < base + (1 << 20):
            print(m.group(1))
PY
)
[ -n "$calls" ] || fail "no call from Setup.exe was traced (see $log)"
echo "first calls from Setup.exe: $(head -n 40 <<<"$calls" | tr '\n' ' ')"
pos() { grep -n -m1 -x "$1" <<<"$calls" | cut -d: -f1; }
dll=$(pos KERNEL32.SetDefaultDllDirectories) search=$(pos KERNEL32.SetSearchPathMode)
heap=$(pos KERNEL32.HeapSetInformation)
[ -n "$dll" ] && [ -n "$search" ] && [ -n "$heap" ] || fail "a hardening call is missing"
[ "$dll" -lt "$search" ] && [ "$search" -lt "$heap" ] || fail "the hardening calls are out of order"
before=$(head -n "$dll" <<<"$calls" | grep -Ev '^(msvcrt|ntdll)\.|^KERNEL32\.(GetStartupInfo[AW]|SetUnhandledExceptionFilter|CreateSemaphore[AW]|GetModuleHandle[AW]|GetProcAddress|SetDefaultDllDirectories)$' || true)
[ -z "$before" ] || fail "calls before the hardening other than the C runtime's start-up: $(tr '\n' ' ' <<<"$before")"
if grep -Eq 'LoadLibrary' <<<"$calls"; then fail "Setup.exe calls LoadLibrary itself"; fi
grep -q 'CreateWindowExW' <<<"$calls" || fail "Setup.exe opened no window under the trace (see $log)"
echo "PASS"

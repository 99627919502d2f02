#!/usr/bin/env bash
# Checks the built Setup.exe as a file: its kind, the embedded manifest, and that it imports
# only system DLLs (no MinGW runtime beside it).
set -uo pipefail
exe=$1 kind=$2 objdump=$3
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi; }

info=$(file -b "$exe")
echo "file: $info"
check "file kind is '$kind'" '[[ "$info" == "$kind"* ]]'

dump=$("$objdump" -p "$exe")
dlls=$(grep -E '^\s*DLL Name:' <<<"$dump" | awk '{print tolower($3)}' | sort -u)
echo "imports: $(tr '\n' ' ' <<<"$dlls")"
allowed='^(kernel32|user32|gdi32|shell32|msvcrt|advapi32|comctl32|msimg32|ole32|ucrtbase)\.dll$|^api-ms-win-crt-[a-z0-9-]+\.dll$'
check "imports only system DLLs" '! grep -Evq "$allowed" <<<"$dlls"'
check "GetNativeSystemInfo is bound at run time, not imported" '! grep -q "GetNativeSystemInfo" <<<"$dump"'

# The manifest is resource type 24, id 1; its text is stored verbatim in the file.
check "manifest asks for administrator rights" 'grep -aq "requireAdministrator" "$exe"'
check "manifest names the assembly Setup 1.0.0.0" 'grep -aq "name=\"Setup\"" "$exe" && grep -aq "version=\"1.0.0.0\"" "$exe"'
check "manifest has the Windows 7 compatibility entry" 'grep -aq "35138b9a-5d96-4fbd-8e2d-a2440225f93a" "$exe"'
exit $fail

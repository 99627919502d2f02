#!/usr/bin/env bash
# Checks the built Setup.exe as a file: its kind, the embedded manifest, the loader's
# protections in its header and sections, and that it imports only system DLLs that Windows
# loads from its known-DLL list (nothing that a planted file beside it could stand in for).
set -uo pipefail
exe=$1 kind=$2 objdump=$3 width=$4
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi; }

info=$(file -b "$exe")
echo "file: $info"
check "file kind is '$kind'" '[[ "$info" == "$kind"* ]]'

dump=$("$objdump" -p "$exe")
dlls=$(grep -E '^\s*DLL Name:' <<<"$dump" | awk '{print tolower($3)}' | sort -u)
echo "imports: $(tr '\n' ' ' <<<"$dlls")"
# Exactly these: each is a known DLL, and a new import should be a decision, not an accident.
check "imports exactly gdi32 kernel32 msvcrt shell32 user32" \
  '[ "$(tr '"'"'\n'"'"' '"'"' '"'"' <<<"$dlls")" = "gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll " ]'
# Calls that older systems lack are looked up by name, or the image would not load there.
for fn in GetNativeSystemInfo IsWow64Process2 SetDefaultDllDirectories SetSearchPathMode; do
  check "$fn is bound at run time, not imported" '! grep -q "\b$fn\b" <<<"$dump"'
done

# ASLR needs the relocations: an image without them loads at its preferred base only.
dll_flags=$(sed -n '/^DllCharacteristics/,/^[A-Z]/p' <<<"$dump")
file_flags=$(sed -n '/^Characteristics/,/^[A-Z]/p' <<<"$dump")
check "dynamic base (ASLR)" 'grep -q DYNAMIC_BASE <<<"$dll_flags"'
check "NX compatible (DEP)" 'grep -q NX_COMPAT <<<"$dll_flags"'
if [ "$width" = 64 ]; then
  check "high-entropy ASLR" 'grep -q HIGH_ENTROPY_VA <<<"$dll_flags"'
fi
sections=$("$objdump" -h "$exe")
check "relocations kept" '! grep -qi "relocations stripped" <<<"$file_flags" && grep -Eq "^\s*[0-9]+ \.reloc\s+0*[1-9a-f]" <<<"$sections"'
# A section both writable and executable would give an attacker a place to put code.
wx=$(awk '/^ *[0-9]+ /{name=$2; getline; if ($0 ~ /CODE/ && $0 !~ /READONLY/) print name}' <<<"$sections")
check "no writable and executable section${wx:+ (found: $wx)}" '[ -z "$wx" ]'

# The manifest is resource type 24, id 1; its text is stored verbatim in the file.
check "manifest asks for administrator rights" 'grep -aq "requireAdministrator" "$exe"'
check "manifest names the assembly Setup 1.0.0.0" 'grep -aq "name=\"Setup\"" "$exe" && grep -aq "version=\"1.0.0.0\"" "$exe"'
check "manifest has the Windows 7 compatibility entry" 'grep -aq "35138b9a-5d96-4fbd-8e2d-a2440225f93a" "$exe"'
exit $fail

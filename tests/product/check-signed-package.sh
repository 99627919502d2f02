#!/usr/bin/env bash
# Builds the release ZIP signed, in a build folder of its own, with a throw-away self-signed
# code-signing certificate, and checks the ZIP's Setup.exe against that certificate. On the way:
# a failed signing removes an older ZIP, -DSETUP_SIGN=OFF turns signing off after any earlier
# signing configuration, and the command a package author runs on the ZIP's unsigned Setup.exe
# signs it with a time stamp.
#   check-signed-package.sh SOURCE_DIR WORK_DIR PRESET [REFERENCE_SETUP_EXE]
# REFERENCE_SETUP_EXE: the Setup.exe of the preset's own build tree, which an unsigned package
# must hold byte for byte. The work folder keeps its build between runs, so only the first run
# compiles everything.
set -uo pipefail
source_dir=$1 work=$2 preset=$3 reference=${4:-}
build=$work/build
keys=$work/keys
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; return 1; fi; }
die() { echo "FAIL: $*"; exit 1; }

for tool in openssl osslsigncode unzip; do
  command -v "$tool" >/dev/null || die "$tool is not installed (scripts/install-deps.sh installs it)"
done

# A new key and certificate each run: nothing secret is kept anywhere.
rm -rf "$keys" && mkdir -p "$keys" || die "cannot make $keys"
publisher="Setup Signing Test $(date +%s)"
openssl rand -hex 16 >"$keys/password"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=$publisher" \
  -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
  -keyout "$keys/key.pem" -out "$keys/cert.pem" 2>"$keys/openssl.log" ||
  { cat "$keys/openssl.log"; die "openssl could not make the certificate"; }
openssl pkcs12 -export -inkey "$keys/key.pem" -in "$keys/cert.pem" -out "$keys/sign.pfx" \
  -passout "file:$keys/password" || die "openssl could not write the PKCS#12 file"
printf 'not the password\n' >"$keys/wrong-password"
# A time-stamping authority of the same kind, for osslsigncode's built-in one: the real servers
# cannot be reached offline.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=$publisher TSA" \
  -addext "extendedKeyUsage=critical,timeStamping" -addext "keyUsage=critical,digitalSignature" \
  -keyout "$keys/tsa-key.pem" -out "$keys/tsa-cert.pem" 2>"$keys/openssl.log" ||
  { cat "$keys/openssl.log"; die "openssl could not make the time-stamping certificate"; }

try_configure() {
  (cd "$source_dir" && cmake --preset "$preset" -B "$build" "$@") >"$work/configure.log" 2>&1
}
configure() {
  try_configure "$@" || { tail -20 "$work/configure.log"; die "configuring $build failed"; }
}
signing() { echo -DSETUP_SIGN_PKCS12="$keys/sign.pfx" -DSETUP_SIGN_PASSWORD_FILE="$1"; }
# What the package target runs once everything is built; the ZIP needs its two programs. The
# package folder is left as it is: what an earlier package left there is part of the test.
make_package() {
  cmake --build "$build" --target Setup setup-check -j 2 >"$work/build.log" 2>&1 ||
    { tail -20 "$work/build.log"; die "building Setup.exe and setup-check.exe failed"; }
  (cd "$build" && cpack --config CPackConfig.cmake) >"$work/cpack.log" 2>&1
}
# Unpacks the release ZIP; sets zip, top and listing.
unpack() {
  zip=$(find "$build/package" -name 'Setup-*.zip' | head -n 1)
  [ -n "$zip" ] || die "no ZIP in $build/package"
  listing=$(unzip -l "$zip") || die "unzip cannot list $zip"
  top=$(basename "$zip" .zip)
  rm -rf "$work/unzipped" && mkdir -p "$work/unzipped" && unzip -q "$zip" -d "$work/unzipped" ||
    die "cannot unpack $zip"
}
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }

try_configure $(signing "$keys/sign.pfx.missing") && die "a missing password file was accepted"
grep -q "SETUP_SIGN_PASSWORD_FILE: no such file" "$work/configure.log" ||
  { cat "$work/configure.log"; die "configure did not name the missing password file"; }
echo "ok: a missing password file stops the configuration"

# A wrong password must stop the package, not let an unsigned ZIP through, and must not leave
# the ZIP of an earlier package at the release path either.
configure $(signing "$keys/wrong-password")
release_zip=$build/package/$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$build/CPackConfig.cmake").zip
mkdir -p "$build/package" && echo "an older release" >"$release_zip"
if make_package; then
  echo "FAIL: the package was made with a wrong password"; fail=1
else
  echo "ok: a wrong password stops the package"
fi
check "the package step says why it stopped" 'grep -q "Signing Setup.exe failed" "$work/cpack.log"'
check "no ZIP after the failed signing, not even the older one ($release_zip)" \
  '[ -z "$(find "$build/package" -name "*.zip" 2>/dev/null)" ]'

# Turning signing off after a configuration with a time-stamping server. Emptying the two files
# alone is refused while the URL stays (and the message names the switch); -DSETUP_SIGN=OFF
# alone turns everything off.
configure $(signing "$keys/password") -DSETUP_SIGN_TIMESTAMP_URL=http://127.0.0.1:9/
try_configure -DSETUP_SIGN_PKCS12= -DSETUP_SIGN_PASSWORD_FILE= &&
  { echo "FAIL: a leftover time-stamp URL without files was accepted"; fail=1; }
check "a leftover time-stamp URL names the switch that turns signing off" \
  'grep -q -- "-DSETUP_SIGN=OFF" "$work/configure.log"'
configure -DSETUP_SIGN=OFF
check "SETUP_SIGN=OFF says that signing is off" 'grep -q "Signing is off" "$work/configure.log"'
for var in SETUP_SIGN_PKCS12 SETUP_SIGN_PASSWORD_FILE SETUP_SIGN_TIMESTAMP_URL; do
  check "SETUP_SIGN=OFF clears $var" '[ -z "$(cache_value $var)" ]'
done
check "SETUP_SIGN itself is not kept" '! grep -q "^SETUP_SIGN:" "$build/CMakeCache.txt"'
make_package || { tail -30 "$work/cpack.log"; die "cpack failed with signing off"; }
unpack
unsigned=$work/unzipped/$top/Setup.exe
check "with signing off the ZIP's Setup.exe carries no signature" \
  '! osslsigncode verify -in "$unsigned" -CAfile "$keys/cert.pem" >/dev/null 2>&1'
check "with signing off the ZIP's Setup.exe is the build's Setup.exe" 'cmp -s "$unsigned" "$build/Setup.exe"'
if [ -n "$reference" ]; then
  check "and byte for byte the $preset tree's own Setup.exe (reproducible)" 'cmp -s "$unsigned" "$reference"'
fi

# What a package author does with the ZIP's Setup.exe: the command given to them, with the
# built-in time-stamping authority in place of "-ts URL" (the only difference), then verify.
cp "$unsigned" "$work/Setup.exe"
sign_help=$(osslsigncode sign --help 2>&1)
if grep -q -- -TSA-certs <<<"$sign_help"; then
  timestamp=(-TSA-certs "$keys/tsa-cert.pem" -TSA-key "$keys/tsa-key.pem")
  tsa_verify=(-TSA-CAfile "$keys/tsa-cert.pem")
else
  echo "note: this osslsigncode has no built-in time-stamping authority; the author's command is tried without a time stamp"
  timestamp=() tsa_verify=()
fi
rm -f "$work/Setup-signed.exe"
(cd "$work" && osslsigncode sign -h sha256 -pkcs12 "$keys/sign.pfx" -readpass "$keys/password" \
  -n "Driver Setup" "${timestamp[@]}" -in Setup.exe -out Setup-signed.exe) >"$work/author.log" 2>&1
check "the author's osslsigncode command signs the ZIP's Setup.exe" '[ -s "$work/Setup-signed.exe" ]' ||
  cat "$work/author.log"
osslsigncode verify -in "$work/Setup-signed.exe" -CAfile "$keys/cert.pem" "${tsa_verify[@]}" \
  >"$work/author-verify.log" 2>&1
verified=$?
check "osslsigncode verify accepts the author's signature" '[ $verified -eq 0 ]' || cat "$work/author-verify.log"
check "the author's signature is SHA-256" 'grep -q "^Message digest algorithm *: SHA256" "$work/author-verify.log"'
check "the author's signature names the program (-n)" 'grep -q "Text description: Driver Setup" "$work/author-verify.log"'
if [ ${#timestamp[@]} -gt 0 ]; then
  check "the author's signature carries a verified time stamp" \
    'grep -q "^Timestamp Server Signature verification: ok" "$work/author-verify.log"'
fi
# Without a reachable server osslsigncode fails and writes nothing, so no unstamped file slips out.
rm -f "$work/Setup-unstamped.exe"
(cd "$work" && osslsigncode sign -h sha256 -pkcs12 "$keys/sign.pfx" -readpass "$keys/password" \
  -ts http://127.0.0.1:9/ -in Setup.exe -out Setup-unstamped.exe) >"$work/author-ts.log" 2>&1
stamped=$?
check "an unreachable time-stamping server fails the author's command and writes no file" \
  '[ $stamped -ne 0 ] && [ ! -e "$work/Setup-unstamped.exe" ]'

# Giving the files again signs again: SETUP_SIGN=OFF left nothing behind that stops it.
configure $(signing "$keys/password")
rm -rf "$build/package"
make_package || { tail -30 "$work/cpack.log"; die "cpack failed with the right password"; }
unpack
echo "$listing"
for entry in Setup.exe setup-check.exe PACKAGE-AUTHORS.txt LICENSE THIRD-PARTY-NOTICES.txt \
  examples/English/Setup.ini examples/Japanese/Setup.ini; do
  check "the ZIP holds $top/$entry" 'grep -q " $top/$entry\$" <<<"$listing"'
done
signed=$work/unzipped/$top/Setup.exe
for file in LICENSE THIRD-PARTY-NOTICES.txt; do
  check "the ZIP's $file is the repository's" 'cmp -s "$work/unzipped/$top/$file" "$source_dir/$file"'
done

osslsigncode verify -in "$signed" -CAfile "$keys/cert.pem" >"$work/verify.log" 2>&1
verified=$?
cat "$work/verify.log"
check "osslsigncode verifies the ZIP's Setup.exe against the test certificate" '[ $verified -eq 0 ]'
check "the signature's digest is SHA-256" 'grep -q "^Message digest algorithm *: SHA256" "$work/verify.log"'
check "the signer is the test certificate ($publisher)" 'grep -q "Subject: /CN=$publisher\$" "$work/verify.log"'

# The signature is all that was added: without it the file is the build's own Setup.exe, and
# that one stays unsigned, so a build keeps giving the same bytes.
osslsigncode remove-signature -in "$signed" -out "$work/unsigned.exe" >/dev/null 2>&1
check "without its signature the ZIP's Setup.exe is the build's Setup.exe" 'cmp -s "$work/unsigned.exe" "$build/Setup.exe"'
check "the build's own Setup.exe carries no signature" '! osslsigncode verify -in "$build/Setup.exe" -CAfile "$keys/cert.pem" >/dev/null 2>&1'
exit $fail

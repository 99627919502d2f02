#!/usr/bin/env bash
# Builds the release ZIP signed, in a build folder of its own, with a throw-away self-signed
# code-signing certificate, and checks the ZIP's Setup.exe against that certificate.
#   check-signed-package.sh SOURCE_DIR WORK_DIR PRESET
# The work folder keeps its build between runs, so only the first run compiles everything.
set -uo pipefail
source_dir=$1 work=$2 preset=$3
build=$work/build
keys=$work/keys
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi; }
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

try_configure() {
  (cd "$source_dir" && cmake --preset "$preset" -B "$build" \
    -DSETUP_SIGN_PKCS12="$keys/sign.pfx" -DSETUP_SIGN_PASSWORD_FILE="$1") >"$work/configure.log" 2>&1
}
configure() {
  try_configure "$1" || { tail -20 "$work/configure.log"; die "configuring $build failed"; }
}
# What the package target runs once everything is built; Setup.exe is all the ZIP needs.
make_package() {
  rm -rf "$build/package"
  cmake --build "$build" --target Setup -j 2 >"$work/build.log" 2>&1 ||
    { tail -20 "$work/build.log"; die "building Setup.exe failed"; }
  (cd "$build" && cpack --config CPackConfig.cmake) >"$work/cpack.log" 2>&1
}

try_configure "$keys/sign.pfx.missing" && die "a missing password file was accepted"
grep -q "SETUP_SIGN_PASSWORD_FILE: no such file" "$work/configure.log" ||
  { cat "$work/configure.log"; die "configure did not name the missing password file"; }
echo "ok: a missing password file stops the configuration"

# A wrong password must stop the package, not let an unsigned ZIP through.
configure "$keys/wrong-password"
if make_package; then
  echo "FAIL: the package was made with a wrong password"; fail=1
else
  echo "ok: a wrong password stops the package"
fi
check "no ZIP after the failed signing" '[ -z "$(find "$build/package" -name "*.zip" 2>/dev/null)" ]'

configure "$keys/password"
make_package || { tail -30 "$work/cpack.log"; die "cpack failed with the right password"; }
zip=$(find "$build/package" -name 'Setup-*.zip' | head -n 1)
[ -n "$zip" ] || die "no ZIP in $build/package"
listing=$(unzip -l "$zip") || die "unzip cannot list $zip"
echo "$listing"
top=$(basename "$zip" .zip)
for entry in Setup.exe PACKAGE-AUTHORS.txt examples/English/Setup.ini examples/Japanese/Setup.ini; do
  check "the ZIP holds $top/$entry" 'grep -q " $top/$entry\$" <<<"$listing"'
done
rm -rf "$work/unzipped" && mkdir -p "$work/unzipped" && unzip -q "$zip" -d "$work/unzipped" ||
  die "cannot unpack $zip"
signed=$work/unzipped/$top/Setup.exe

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

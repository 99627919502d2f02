#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; does nothing when all are present.
# 32-bit Wine is optional: where it cannot run or be installed, the 32-bit end-to-end tests say so.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64 xvfb x11-utils xdotool imagemagick file python3 osslsigncode openssl unzip
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-dejavu-core fonts-liberation
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi

# 32-bit Wine only where the kernel runs 32-bit programs: elsewhere its loader cannot start,
# and the harness runs everything through the 64-bit loader anyway (tests/e2e/wine-tools.sh).
# shellcheck source=../tests/e2e/wine-tools.sh
. "$(dirname "$0")/../tests/e2e/wine-tools.sh"
if [ "${SETUP_NO_32BIT:-0}" = 1 ]; then
  echo "install-deps: SETUP_NO_32BIT=1: 32-bit Wine is neither installed nor used"
elif ! kernel_runs_32bit; then
  if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "ok installed"; then
    echo "install-deps: this kernel cannot run 32-bit programs; wine32 is installed but not used"
  else
    echo "install-deps: this kernel cannot run 32-bit programs; 32-bit Wine is not installed"
  fi
elif ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "ok installed"; then
  echo "install-deps: trying to install 32-bit Wine (wine32:i386)"
  if ! { as_root dpkg --add-architecture i386 &&
         as_root apt-get update -q &&
         as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q wine32:i386; } >/tmp/setup-wine32-install.log 2>&1; then
    echo "install-deps: 32-bit Wine could not be installed (see /tmp/setup-wine32-install.log)"
  fi
fi

#!/usr/bin/env bash
# Builds examples/resizing-form the two ways another project uses the libraries, in folders
# outside the source tree:
#   1. against the installed package: cmake --install of the build tree's ResizeKit component
#      to a staging prefix, then the example configured on its own with CMAKE_PREFIX_PATH;
#   2. as a subdirectory: a small outside project that add_subdirectory's the repository and
#      the example.
#
#   build-example-both-ways.sh SOURCE_DIR BUILD_DIR TOOLCHAIN_FILE
#
# Everything goes under BUILD_DIR/package-test. Exit status 0 when both builds give the program.
set -uo pipefail
source_dir=$1
build_dir=$2
toolchain=$3
work=$build_dir/package-test

fail() {
  echo "FAIL: $*"
  exit 1
}
step() {
  local log=$1
  shift
  "$@" >"$log" 2>&1 || { tail -30 "$log"; fail "$* (log: $log)"; }
}

rm -rf "$work"
mkdir -p "$work" || fail "cannot create $work"
configure=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain")

# 1. The installed package, and nothing else from the tree.
stage=$work/stage
step "$work/install.log" cmake --install "$build_dir" --prefix "$stage" --component ResizeKit
for f in lib/cmake/ResizeKit/ResizeKitConfig.cmake include/resizekit/ResizeKit.h \
  include/toolkit/Forms.h include/platform/win32/Win32Api.h; do
  [ -f "$stage/$f" ] || fail "the package has no $f"
done
[ ! -e "$stage/Setup.exe" ] || fail "the ResizeKit component installs Setup.exe"
echo "ok: installed the ResizeKit component to $stage ($(find "$stage" -type f | wc -l) files)"

installed=$work/installed
step "$work/installed-configure.log" cmake -S "$source_dir/examples/resizing-form" -B "$installed" \
  "${configure[@]}" -DCMAKE_PREFIX_PATH="$stage"
found=$(sed -n 's/^ResizeKit_DIR:PATH=//p' "$installed/CMakeCache.txt")
[ "$found" = "$stage/lib/cmake/ResizeKit" ] ||
  fail "find_package took ResizeKit from '$found', not from the staging prefix"
step "$work/installed-build.log" cmake --build "$installed"
[ -f "$installed/ResizingForm.exe" ] || fail "no ResizingForm.exe in $installed"
echo "ok: the example builds against the installed package ($found)"

# 2. The repository as a subdirectory of an outside project.
outside=$work/outside
mkdir -p "$outside/src" || fail "cannot create $outside"
cat >"$outside/src/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(OutsideProject LANGUAGES CXX RC)
add_subdirectory("$source_dir" resizekit)
add_subdirectory("$source_dir/examples/resizing-form" example)
CMAKE
step "$work/outside-configure.log" cmake -S "$outside/src" -B "$outside/build" "${configure[@]}"
step "$work/outside-build.log" cmake --build "$outside/build"
[ -f "$outside/build/example/ResizingForm.exe" ] || fail "no ResizingForm.exe in $outside/build/example"
# Only the libraries come along: no launcher, no tests.
[ ! -e "$outside/build/resizekit/Setup.exe" ] || fail "the subdirectory built Setup.exe"
! grep -q 'e2e\.' "$outside/build/resizekit/CTestTestfile.cmake" 2>/dev/null ||
  fail "the subdirectory registered the repository's tests"
echo "ok: the example builds with the repository as a subdirectory (libraries only)"
echo PASS

# Sourced by bench/startup and bench/resize: builds a Windows preset and brings up Wine on
# Xvfb with the end-to-end tests' harness (tests/e2e/wine-env.sh).
#
#   bench_prepare WIDTH NAME    WIDTH 64 or 32; sets preset, bin (the benchmark programs),
#                               package (the example package with Setup.exe) and out
#                               (build/bench-NAME-WIDTH, this run's prefix and results)
#   winpath PATH                the path as Wine's programs see it

bench_prepare() {
  local width=$1 name=$2 reason
  case $width in
    64) preset=win64 ;;
    32) preset=win32 ;;
    *) echo "bench/$name: --width is 32 or 64" >&2; exit 2 ;;
  esac
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j 2 >/dev/null
  bin=$PWD/build/$preset/bench
  package=$PWD/build/$preset/example-package
  out=build/bench-$name-$width
  mkdir -p "$out/bare"

  # Every Wine program through the harness's loader (tests/e2e/wine-tools.sh says why).
  . tests/e2e/wine-tools.sh
  if [ "$width" = 32 ] && reason=$(wine_32bit_unavailable) && [ -n "$reason" ]; then
    echo "bench/$name: $reason; try --width=64" >&2
    exit 1
  fi
  bash tests/e2e/wine-env.sh up "$out" >/dev/null
  trap 'bash tests/e2e/wine-env.sh down "$out" >/dev/null 2>&1 || true' EXIT
  eval "$(bash tests/e2e/wine-env.sh shell "$out")"
  out=$PWD/$out
}

# Wine's drive Z: is the Unix root.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

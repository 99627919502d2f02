#!/usr/bin/env bash
# Wine on Xvfb for the end-to-end tests: one prefix, one X server and one persistent
# wineserver per build tree, shared by every scenario of a test run.
#
#   wine-env.sh up BUILD_DIR [--probe=DRIVER_EXE --width=32|64]
#                                       fresh prefix, Xvfb on a free display, server kept alive;
#                                       with --probe, checks that this build's programs run
#   wine-env.sh down BUILD_DIR          ends the server and Xvfb started by "up"
#   wine-env.sh density BUILD_DIR DPI   LogPixels 96, 120 or 144; restarts the server on a change
#   wine-env.sh shell BUILD_DIR         prints the environment lines a caller can eval
#
# State lives in BUILD_DIR/wine: prefix/, state (display, Xvfb's pid, density), logs.
# With DISPLAY already set and SETUP_E2E_REAL_DISPLAY=1, "up" uses that display instead of
# Xvfb, so the window can be watched on a real screen.
set -euo pipefail

die() { echo "wine-env: $*" >&2; exit 1; }

[ $# -ge 2 ] || die "usage: wine-env.sh up|down|density|shell BUILD_DIR [DPI]"
cmd=$1
build_dir=$(cd "$2" && pwd) || die "no build folder $2"
wine_dir=$build_dir/wine
state=$wine_dir/state
# Present when this build's programs cannot run under the installed Wine (32-bit ones without
# 32-bit Wine); the scenarios then skip and print it.
unavailable=$wine_dir/unavailable.txt

# shellcheck source=wine-tools.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine-tools.sh"
wine_env_exports

export WINEPREFIX=$wine_dir/prefix
export WINEDEBUG=-all
# No runtime-download dialogs for .NET or the HTML engine.
export WINEDLLOVERRIDES="mscoree,mshtml="

load_state() {
  [ -f "$state" ] || die "no Wine environment in $wine_dir (run: wine-env.sh up $build_dir)"
  # shellcheck disable=SC1090
  . "$state"
  export DISPLAY=$E2E_DISPLAY
}

save_state() {
  {
    echo "E2E_DISPLAY=$E2E_DISPLAY"
    echo "E2E_XVFB_PID=${E2E_XVFB_PID:-}"
    echo "E2E_DPI=$E2E_DPI"
  } >"$state.tmp"
  mv "$state.tmp" "$state"
}

# Waits (bounded) until a command succeeds.
wait_for() {
  local tries=$1; shift
  while ! "$@" 2>/dev/null; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

server_running() { wine_server -k0 2>/dev/null; }

# The server stays up between scenarios; a warm window then starts in a fraction of a second.
# Without -f it returns once its socket listens; setsid and closed descriptors keep it out of
# ctest's process group and pipes.
start_server() {
  setsid "$WINE_SERVER" -p </dev/null >>"$wine_dir/wineserver.log" 2>&1 ||
    die "wineserver did not start (see $wine_dir/wineserver.log)"
}

stop_server() {
  wine_server -k 2>/dev/null || true
  wine_server -w 2>/dev/null || true
}

# A .reg file must be UTF-16LE with a byte order mark and CRLF line ends, or regedit mangles
# the Japanese font names.
write_reg() {
  local out=$1
  {
    printf '\xff\xfe'
    sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE
  } >"$out"
}

# Japanese text in the system fonts (message boxes, captions) comes through Wine's font links
# from Tahoma to "MS UI Gothic", here IPAPGothic. A SystemLink value of our own for Tahoma would
# not last: Wine rewrites those values whenever the ANSI code page changes between runs, as it
# does between the English and the Japanese scenarios.
prefix_settings() {
  cat <<'EOF'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1280x1024"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ ゴシック"="IPAGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ 明朝"="IPAMincho"
"MS UI Gothic"="IPAPGothic"
"Tahoma"="DejaVu Sans"
"Times New Roman"="Liberation Serif"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060

EOF
}

up() {
  mkdir -p "$wine_dir"
  rm -f "$unavailable"
  if [ -f "$state" ]; then
    # A previous run that was not cleaned up: end what it left before starting anew.
    load_state
    down_quiet
  fi
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"

  if [ "${SETUP_E2E_REAL_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
    E2E_DISPLAY=$DISPLAY
    E2E_XVFB_PID=
  else
    command -v Xvfb >/dev/null || die "Xvfb is not installed (apt-get install xvfb)"
    rm -f "$wine_dir/display"
    # -displayfd picks a free display number and reports it once the server listens.
    setsid Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp \
      5>"$wine_dir/display" </dev/null >"$wine_dir/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    wait_for 100 test -s "$wine_dir/display" || die "Xvfb did not start (see $wine_dir/xvfb.log)"
    E2E_DISPLAY=:$(tr -d '[:space:]' <"$wine_dir/display")
  fi
  export DISPLAY=$E2E_DISPLAY
  E2E_DPI=96
  save_state

  wine_installed || die "64-bit Wine is not installed at $WINE_LOADER64 (apt-get install wine wine64)"
  wine_run wineboot -i >"$wine_dir/wineboot.log" 2>&1 || die "wineboot failed (see $wine_dir/wineboot.log)"

  prefix_settings | write_reg "$wine_dir/settings.reg"
  # Drive Z: is the Unix root (winepath itself would go through Debian's wine script).
  wine_run regedit /S "Z:${wine_dir//\//\\}\\settings.reg" >>"$wine_dir/wineboot.log" 2>&1 ||
    die "importing the prefix settings failed"
  # Debian leaves the prefix's font folder empty; without Marlett the caption buttons are letters.
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  # The desktop and the density are read when the server starts: let this one end first.
  wine_server -w

  start_server
  save_state
  echo "wine-env: prefix $WINEPREFIX ready on display $E2E_DISPLAY"
}

# ctest shows nothing of a test that it reports as skipped, so the one line that says why the
# 32-bit tests did not run also goes to ctest's own output.
announce() {
  echo "$1"
  if [ "$(cat "/proc/$PPID/comm" 2>/dev/null)" = ctest ]; then
    echo "$1" >>"/proc/$PPID/fd/1" 2>/dev/null || true
  fi
}

# Wine exits 0 even when it cannot start a program at all, so the probe must print its line.
probe() {
  local driver=$1 width=$2 out
  # Into a file, not a pipe: the desktop process that Wine starts on the way keeps the
  # descriptors it inherits, and a pipe would then never close.
  (cd "$wine_dir" && timeout -k 5 60 "$WINELOADER" "$driver" --probe </dev/null >"$wine_dir/probe.log" 2>&1) || true
  out=$(cat "$wine_dir/probe.log")
  if grep -q "driver: ready (${width}-bit)" <<<"$out"; then
    echo "wine-env: ${width}-bit programs run"
    return 0
  fi
  echo "wine-env: the ${width}-bit driver did not run; Wine said: ${out:-nothing}"
  if [ "$width" = 32 ]; then
    skip_32bit "32-bit Wine did not start the driver"
  fi
  die "the ${width}-bit driver cannot run under Wine"
}

# The one visible line, left where every scenario of this tree finds it and skips.
skip_32bit() {
  mkdir -p "$wine_dir"
  echo "e2e: 32-bit programs cannot run here ($1); the 32-bit build's end-to-end tests were not run" \
    >"$unavailable"
  announce "$(cat "$unavailable")"
  exit 77
}

down_quiet() {
  stop_server
  # Only the X server this script started, should its pid have been reused since.
  if [ -n "${E2E_XVFB_PID:-}" ] && [ "$(cat "/proc/$E2E_XVFB_PID/comm" 2>/dev/null)" = Xvfb ]; then
    kill "$E2E_XVFB_PID" 2>/dev/null || true
  fi
  E2E_XVFB_PID=
  rm -f "$state"
}

density() {
  local dpi=$1
  case $dpi in 96 | 120 | 144) ;; *) die "density must be 96, 120 or 144, not $dpi" ;; esac
  load_state
  if [ "$dpi" != "$E2E_DPI" ] || ! server_running; then
    wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
      >/dev/null 2>&1 || die "setting LogPixels to $dpi failed"
    # The server and the desktop read the density only when they start.
    stop_server
    start_server
    E2E_DPI=$dpi
    save_state
  fi
}

case $cmd in
  up)
    probe_exe= width=
    for arg in "${@:3}"; do
      case $arg in
        --probe=*) probe_exe=${arg#--probe=} ;;
        --width=*) width=${arg#--width=} ;;
        *) die "unknown option $arg" ;;
      esac
    done
    if [ "$width" = 32 ]; then
      rm -f "$unavailable"
      reason=$(wine_32bit_unavailable)
      # No prefix, no X server: nothing of this tree can run.
      [ -z "$reason" ] || skip_32bit "$reason"
    fi
    up
    if [ -n "$probe_exe" ]; then
      [ -f "$probe_exe" ] || die "no driver at $probe_exe (build the tree first)"
      probe_exe=$(realpath "$probe_exe")
      probe "$probe_exe" "${width:-64}"
    fi
    ;;
  down)
    if [ -f "$state" ]; then
      load_state
      down_quiet
    fi
    echo "wine-env: stopped"
    ;;
  density)
    [ $# -ge 3 ] || die "usage: wine-env.sh density BUILD_DIR DPI"
    density "$3"
    ;;
  shell)
    load_state
    printf 'export WINEPREFIX=%q WINEDEBUG=-all WINEDLLOVERRIDES=%q DISPLAY=%q WINELOADER=%q WINESERVER=%q\n' \
      "$WINEPREFIX" "$WINEDLLOVERRIDES" "$DISPLAY" "$WINELOADER" "$WINESERVER"
    ;;
  *) die "unknown command $cmd" ;;
esac

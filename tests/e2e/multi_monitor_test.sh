#!/usr/bin/env bash
# Runs a test program on a display whose monitors come and go for real:
# TigerVNC's X server, Xvnc, lays its screens out as a VNC client asks, and
# Wine reports each screen as a monitor where the layout puts it (Xvfb puts
# every screen at the origin). The tests ask for their layouts through the
# port in HORAVEL_VNC_PORT (support/screen_layout.h). The program runs in a
# Wine prefix and home folder of its own: a prefix's server keeps the
# monitors of the display it started on. Xvnc, the prefix's server and the
# folders go when the script ends, however it ends. Skipped where Xvnc
# cannot start; fails when no test ran or one was skipped.
#
#   multi_monitor_test.sh <test program> [arguments...]
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"

skipped=77
server_linger_seconds=30

if ! command -v Xvnc >/dev/null 2>&1; then
  echo "skipped: no Xvnc (package tigervnc-standalone-server)"
  exit "$skipped"
fi

scratch="$(mktemp -d "${HORAVEL_SCRATCH:-${TMPDIR:-/tmp}}/horavel-monitors.XXXXXX")"
cleanup() {
  # Only this script's prefix: the caller's may be serving other tests.
  if [ -d "$scratch/prefix" ]; then
    WINEPREFIX="$scratch/prefix" wineserver -k >/dev/null 2>&1 || true
  fi
  stop_xvnc
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 143' INT TERM HUP

if ! start_xvnc "$scratch/xvnc.log"; then
  echo "skipped: Xvnc did not start; its last words:"
  tail -n 5 "$scratch/xvnc.log" 2>/dev/null || true
  exit "$skipped"
fi

export HOME="$scratch/home" WINEPREFIX="$scratch/prefix"
mkdir -p "$HOME"
wine_environment
prepare_prefix unmanaged
# The server and the prefix's services start away from ctest's pipes. The
# server outlives each program by a while, so that the next finds the
# services running, but not for ever: it ends by itself if this script is
# killed outright.
wineserver -p"$server_linger_seconds" >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1 </dev/null

status=0
output="$(wine "$@" 2>&1 </dev/null)" || status=$?
echo "$output"
[ "$status" -eq 0 ] || exit "$status"
grep -q '\[  PASSED  \] [1-9]' <<<"$output" || { echo "FAIL: no test ran" >&2; exit 1; }
if grep -q '\[  SKIPPED \]' <<<"$output"; then
  echo "FAIL: a test was skipped on the multi-monitor display" >&2
  exit 1
fi

# Shared by the package tests, sourced after scripts/lib.sh with $build set
# to the build folder: a fresh Wine prefix and home folder, removed at exit,
# and the end-to-end check of a packaged program. The display comes from
# scripts/test.
# shellcheck shell=bash

package_scratch="$(mktemp -d /tmp/horavel-package.XXXXXX)"
export HOME="$package_scratch/home" WINEPREFIX="$package_scratch/prefix"
mkdir -p "$HOME"
wine_environment
# No desktop entries for the Start-menu shortcut.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$package_scratch"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The prefix set up as scripts/run sets up a user's (the clock's font
# resolves to an installed one, as on Windows); its server and services
# start away from ctest's pipes.
make_package_prefix() {
  prepare_prefix
  wineserver -p >/dev/null 2>&1
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}

# The end-to-end test program starts the program at the Windows path given:
# its clock must draw and its icon show, and it must end through its exit.
expect_clock_and_icon() {
  local output
  output="$(HORAVEL_PACKAGE_PROGRAM="$1" \
    wine "$build/bin/e2e_tests.exe" --gtest_filter='PackagedProgram.*' </dev/null 2>&1)" || {
    echo "$output"
    fail "$1 did not show its clock and icon"
  }
  echo "$output" | grep -q '\[  PASSED  \] 1 test' || fail "$1 was not tested:"$'\n'"$output"
  echo "$1 showed its clock and icon"
}

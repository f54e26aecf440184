#!/usr/bin/env bash
# A full disk made for real: a file system of a few pages is mounted over the
# program's data folder in the test prefix, and the end-to-end tests of the
# test that needs it fills it and drive the program on it. Mounting needs root;
# without it the test is skipped. Runs under scripts/test, which provides the
# display and the prefix.
#
#   full_disk_test.sh <e2e test program>
set -euo pipefail

program="$1"
skipped=77
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: mounting a small file system needs root"
  exit "$skipped"
fi

profile="$(wine cmd /c 'echo %USERPROFILE%' 2>/dev/null </dev/null | tr -d '\r')"
documents="$(readlink -f "$(winepath -u "$profile\\Documents")")"
data="$documents/Horavel"
mkdir -p "$data"
mount -t tmpfs -o size=64k,mode=0777 horavel-full-disk "$data"
trap 'umount "$data"' EXIT

status=0
output="$(HORAVEL_FULL_DISK=1 wine "$program" --gtest_brief=1 --gtest_filter='Lifecycle.OnAFullDisk*')" || status=$?
echo "$output"
[ "$status" -eq 0 ] || exit "$status"
grep -q 'PASSED  \] 1 test' <<<"$output" || { echo "FAIL: the full-disk test did not run" >&2; exit 1; }

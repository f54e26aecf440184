#!/usr/bin/env bash
# The release ZIP as a user gets it: made from this build, checked for its
# contents and sizes, unpacked into a fresh Wine prefix and started from
# there. The clock and its icon must show. Runs under scripts/test, which
# provides the display.
#
#   unpacked_package_test.sh <build folder>
set -euo pipefail

build="$1"
source "$(dirname "$0")/../../scripts/lib.sh"
source "$(dirname "$0")/package_support.sh"
limit=$((1024 * 1024))

(cd "$build" && cpack -G ZIP -B "$package_scratch/dist" >/dev/null)
zips=("$package_scratch"/dist/Horavel-*-win64.zip)
[ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || fail "no single Horavel-<version>-win64.zip: ${zips[*]}"
zip="${zips[0]}"
echo "Package: $(basename "$zip"), $(stat -c %s "$zip") bytes"

expected=$'Horavel.exe\nREADME.txt\nlicense.html\nlicense_en.html\nmenu_image.bmp'
listed="$(cmake -E tar tf "$zip" | LC_ALL=C sort)"
[ "$listed" = "$expected" ] || fail "the ZIP holds"$'\n'"$listed"$'\n'"instead of"$'\n'"$expected"
[ "$(stat -c %s "$zip")" -lt "$limit" ] || fail "the ZIP is 1 MB or larger"

make_package_prefix
folder="$WINEPREFIX/drive_c/Horavel"
mkdir -p "$folder"
(cd "$folder" && cmake -E tar xf "$zip")
[ "$(stat -c %s "$folder/Horavel.exe")" -le "$limit" ] || fail "Horavel.exe is larger than 1 MB"
if x86_64-w64-mingw32-objdump -h "$folder/Horavel.exe" | grep -q '\.debug_'; then
  fail "Horavel.exe still carries debug sections"
fi
# The loader looks for an imported library beside the program first, unless
# it is on the loader's own list of system libraries (comctl32 comes from the
# side-by-side store the manifest names): no other may be imported.
system_libraries='^(ADVAPI32|COMCTL32|GDI32|KERNEL32|msvcrt|ole32|OLEAUT32|SHELL32|SHLWAPI|USER32)\.dll$'
stray="$(x86_64-w64-mingw32-objdump -p "$folder/Horavel.exe" | sed -n 's/^\s*DLL Name: //p' |
  grep -viE "$system_libraries" || true)"
[ -z "$stray" ] || fail "Horavel.exe imports libraries that would be looked for beside it: $stray"
# Imported, a function Windows 7 and Vista lack, or have only with an update, would keep the program from starting there.
late="$(x86_64-w64-mingw32-objdump -p "$folder/Horavel.exe" |
  grep -owE '(SetDefault|Add|Remove)DllDirector(ies|y)|GetSystemTimePreciseAsFileTime' || true)"
[ -z "$late" ] || fail "Horavel.exe imports functions that Windows 7 and Vista may lack: $late"

expect_clock_and_icon 'C:\Horavel\Horavel.exe'

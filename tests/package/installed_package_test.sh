#!/usr/bin/env bash
# The installer as a user meets it, in a fresh Wine prefix: install, start,
# upgrade, a refused downgrade and uninstall, the user's settings, log and
# start-with-Windows kept for as long as the program stays. Runs under
# scripts/test, which provides the display.
#
#   installed_package_test.sh <build folder>
set -euo pipefail

build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../scripts/lib.sh"
source "$here/package_support.sh"

# This build's installer, and a newer build of the same sources: a higher
# version with a product code of its own, as each release has.
cmake --build "$build" --target msi >/dev/null
define() { sed -n "s/.*define $1 = \"\\(.*\\)\".*/\\1/p" "$build/generated/horavel.wxs"; }
version="$(define Version)" older_code="$(define ProductCode)"
older="$build/Horavel-$version-win64.msi"
newer_version="${version%.*}.$((${version##*.} + 1))" newer_code="$(cat /proc/sys/kernel/random/uuid)"
newer="$package_scratch/Horavel-$newer_version-win64.msi"
(cd "$build" && wixl --arch x64 -D "Version=$newer_version" -D "ProductCode=$newer_code" --output "$newer" \
  generated/horavel.wxs)
[ "$(stat -c %s "$older")" -lt $((1024 * 1024)) ] || fail "the MSI is 1 MB or larger"

make_package_prefix
windows_folder() { wine cmd /c echo "%$1%" </dev/null 2>/dev/null | tr -d '\r'; }
unix_path() { winepath -u "$1" 2>/dev/null; }
program="$(windows_folder LOCALAPPDATA)\\Programs\\Horavel\\Horavel.exe"
folder="$(dirname "$(unix_path "$program")")"
shortcut="$(unix_path "$(windows_folder APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Horavel.lnk")"
data="$(unix_path "$(windows_folder USERPROFILE)\\Documents\\Horavel")"
user_data() { sha256sum "$data/Horavel.ini" "$data/log.txt"; }
reg_value() { wine reg query "$1" /v "$2" </dev/null 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
# Wine's installer writes a per-user package's Installed-apps entry under HKLM.
entry() { reg_value "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{${1^^}}" "$2"; }
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
set_run_value() { wine reg add "$run_key" /v Horavel /t REG_SZ /d "$1" /f </dev/null >/dev/null 2>&1; }

# Install.
wine msiexec /i "$older" /qn || fail "the silent install failed ($?)"
for file in Horavel.exe menu_image.bmp license.html license_en.html; do
  [ -f "$folder/$file" ] || fail "$file is not in $folder"
done
cmp -s "$folder/Horavel.exe" "$build/bin/Horavel.exe" || fail "the installed program is not this build's"
grep -aqF "$program" "$shortcut" || fail "no Start-menu shortcut to $program at $shortcut"
[ "$(entry "$older_code" DisplayName) $(entry "$older_code" DisplayVersion)" = "Horavel $version" ] ||
  fail "no Installed-apps entry for Horavel $version"
[ -n "$(entry "$older_code" Publisher)" ] && entry "$older_code" HelpLink | grep -q '^https://' ||
  fail "the entry names no publisher or support address"
icon="$(unix_path "$(windows_folder APPDATA)\\Microsoft\\Installer\\{${older_code^^}}\\horavel.ico")"
cmp -s "$icon" "$here/../../res/horavel.ico" || fail "the entry's icon is not the program's"

expect_clock_and_icon "$program"
kept="$(user_data)" || fail "the installed program kept no settings or log in $data"
starts_installed="\"$program\" -startup"
set_run_value "$starts_installed"

# A newer build replaces it; the user's start-with-Windows stays.
wine msiexec /i "$newer" /qn || fail "the upgrade failed ($?)"
[ -z "$(entry "$older_code" DisplayName)" ] && [ "$(entry "$newer_code" DisplayVersion)" = "$newer_version" ] ||
  fail "the entry is not the newer version's alone"
[ -f "$folder/Horavel.exe" ] || fail "the upgrade left no program"
[ "$(user_data)" = "$kept" ] || fail "the upgrade changed the settings or the log"
[ "$(reg_value "$run_key" Horavel)" = "$starts_installed" ] || fail "the upgrade changed the Run value"

# An older one refuses to replace it.
if wine msiexec /i "$older" /qn; then fail "the older installer went over the newer version"; fi
[ "$(entry "$newer_code" DisplayVersion)" = "$newer_version" ] || fail "the refused downgrade changed the entry"

# The program's uninstall step leaves a value that starts another copy alone.
starts_other='"C:\Horavel\Horavel.exe" -startup'
set_run_value "$starts_other"
wine "$program" -uninstall </dev/null >/dev/null 2>&1
[ "$(reg_value "$run_key" Horavel)" = "$starts_other" ] || fail "another copy's Run value was changed"
set_run_value "$starts_installed"

# The uninstall leaves nothing of the program, and the user's files.
wine msiexec /x "$newer" /qn || fail "the silent uninstall failed ($?)"
[ ! -e "$folder" ] || fail "the uninstall left $folder"
[ ! -e "$shortcut" ] || fail "the uninstall left the shortcut"
[ -z "$(entry "$newer_code" DisplayName)" ] || fail "the uninstall left the Installed-apps entry"
[ -z "$(reg_value "$run_key" Horavel)" ] || fail "the uninstall left the Run value"
[ "$(user_data)" = "$kept" ] || fail "the uninstall changed the settings or the log"
echo "Installed, upgraded and uninstalled $version and $newer_version"

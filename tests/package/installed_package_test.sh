#!/usr/bin/env bash
# The installer as a user meets it, in a fresh Wine prefix: a silent install
# puts the program, its Start-menu shortcut and its Installed-apps entry in
# place, and the installed program shows its clock; a newer build installs
# over it and an older one is refused; the uninstall removes the program,
# the shortcut, the entry and the program's start-with-Windows value. The
# settings and the log stay as they were throughout. Runs under scripts/test,
# which provides the display.
#
#   installed_package_test.sh <build folder>
set -euo pipefail

build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../scripts/lib.sh"
source "$here/package_support.sh"
limit=$((1024 * 1024))

# This build's installer, and a newer build of the same sources: a higher
# version with a product code of its own, as each release has.
cmake --build "$build" --target msi >/dev/null
msis=("$build"/Horavel-*-win64.msi)
[ ${#msis[@]} -eq 1 ] && [ -f "${msis[0]}" ] || fail "no single Horavel-<version>-win64.msi: ${msis[*]}"
older="${msis[0]}"
version="$(basename "$older" -win64.msi)"
version="${version#Horavel-}"
newer_version="${version%.*}.$((${version##*.} + 1))"
newer="$package_scratch/Horavel-$newer_version-win64.msi"
(cd "$build" && wixl --arch x64 -D "Version=$newer_version" -D "ProductCode=$(cat /proc/sys/kernel/random/uuid)" \
  --output "$newer" generated/horavel.wxs)
echo "Installer: $(basename "$older"), $(stat -c %s "$older") bytes"
[ "$(stat -c %s "$older")" -lt "$limit" ] || fail "the MSI is 1 MB or larger"

make_package_prefix

windows_folder() { wine cmd /c echo "%$1%" </dev/null 2>/dev/null | tr -d '\r'; }
unix_path() { winepath -u "$1" 2>/dev/null; }
program="$(windows_folder LOCALAPPDATA)\\Programs\\Horavel\\Horavel.exe"
folder="$(dirname "$(unix_path "$program")")"
shortcut="$(unix_path "$(windows_folder APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Horavel.lnk")"
data="$(unix_path "$(windows_folder USERPROFILE)\\Documents\\Horavel")"

reg_query() { wine reg query "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# The registry keys (with their values) under $1 that hold the line $2.
keys_holding() { reg_query "$1" /s | awk -v RS= -v line="$2" 'index($0, line "\n") || substr($0, length($0) - length(line) + 1) == line'; }
value_of() { sed -n "s/^ *$1 *REG_[A-Z_]* *//p"; }
# Wine's Windows Installer writes the Installed-apps entry of a per-user
# package under HKLM, and the product's icon under the user's products.
entries() { keys_holding 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' '    DisplayName    REG_SZ    Horavel'; }
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
run_value() { reg_query "$run_key" /v Horavel | value_of Horavel; }
set_run_value() { wine reg add "$run_key" /v Horavel /t REG_SZ /d "$1" /f </dev/null >/dev/null 2>&1; }
user_data() { sha256sum "$data/Horavel.ini" "$data/log.txt"; }

expect_version() {
  [ "$(entries | grep -c DisplayName)" -eq 1 ] || fail "not one Installed-apps entry:"$'\n'"$(entries)"
  [ "$(entries | value_of DisplayVersion)" = "$1" ] || fail "the entry is not for $1:"$'\n'"$(entries)"
}

# Install.
wine msiexec /i "$older" /qn || fail "the silent install failed ($?)"
for file in Horavel.exe menu_image.bmp license.html; do
  [ -f "$folder/$file" ] || fail "$file is not in $folder"
done
cmp -s "$folder/Horavel.exe" "$build/bin/Horavel.exe" || fail "the installed program is not this build's"
[ -f "$shortcut" ] || fail "no Start-menu shortcut at $shortcut"
iconv -f UTF-16LE -t UTF-8 "$shortcut" 2>/dev/null | grep -aqF 'Programs\Horavel\Horavel.exe' ||
  grep -aqF 'Programs\Horavel\Horavel.exe' "$shortcut" || fail "the shortcut does not start $program"
expect_version "$version"
[ -n "$(entries | value_of Publisher)" ] || fail "the entry names no publisher"
entries | value_of HelpLink | grep -q '^https://' || fail "the entry names no support address"
icon="$(keys_holding 'HKCU\Software\Microsoft\Installer\Products' '    ProductName    REG_SZ    Horavel' |
  value_of ProductIcon)"
cmp -s "$(unix_path "$icon")" "$here/../../res/horavel.ico" || fail "the entry's icon is not the program's: $icon"

expect_clock_and_icon "$program"
[ -f "$data/Horavel.ini" ] && [ -f "$data/log.txt" ] || fail "the installed program kept no settings or log in $data"
kept="$(user_data)"
starts_installed="\"$program\" -startup"
set_run_value "$starts_installed"

# A newer build replaces it; the user's start-with-Windows stays.
wine msiexec /i "$newer" /qn || fail "the upgrade failed ($?)"
expect_version "$newer_version"
[ -f "$folder/Horavel.exe" ] || fail "the upgrade left no program"
[ "$(user_data)" = "$kept" ] || fail "the upgrade changed the settings or the log"
[ "$(run_value)" = "$starts_installed" ] || fail "the upgrade changed the Run value: $(run_value)"

# An older one refuses to replace it.
if wine msiexec /i "$older" /qn; then fail "the older installer went over the newer version"; fi
expect_version "$newer_version"

# The program's uninstall step leaves a value that starts another copy alone.
starts_other='"C:\Horavel\Horavel.exe" -startup'
set_run_value "$starts_other"
wine "$program" -uninstall </dev/null >/dev/null 2>&1
[ "$(run_value)" = "$starts_other" ] || fail "another copy's Run value was changed: $(run_value)"
set_run_value "$starts_installed"

# The uninstall leaves nothing of the program, and the user's files.
wine msiexec /x "$newer" /qn || fail "the silent uninstall failed ($?)"
[ ! -e "$folder" ] || fail "the uninstall left $folder: $(ls "$folder")"
[ ! -e "$shortcut" ] || fail "the uninstall left the shortcut"
[ -z "$(entries)" ] || fail "the uninstall left the entry:"$'\n'"$(entries)"
[ -z "$(run_value)" ] || fail "the uninstall left the Run value: $(run_value)"
[ "$(user_data)" = "$kept" ] || fail "the uninstall changed the settings or the log"
echo "Installed, upgraded and uninstalled $version and $newer_version"

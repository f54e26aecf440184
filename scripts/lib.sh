# Shared by scripts/run, scripts/test and scripts/bench: installs what is
# missing, builds, and prepares Wine and a virtual display.
# shellcheck shell=bash

HORAVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The tests and the program alone build in folders of their own: a build
# without the tests must never stand in for one with them.
HORAVEL_BUILD="${HORAVEL_BUILD:-$HORAVEL_ROOT/build}"
HORAVEL_RUN_BUILD="${HORAVEL_RUN_BUILD:-$HORAVEL_ROOT/build-run}"

HORAVEL_PACKAGES=(
  cmake make
  g++-mingw-w64-x86-64-posix mingw-w64
  wine wine64
  xvfb
  # A display whose monitors come and go for real, for the multi-monitor
  # tests (tests/e2e/multi_monitor_test.sh).
  tigervnc-standalone-server
  googletest
  fonts-dejavu-core fonts-vlgothic fonts-ipafont-gothic fonts-wine
  locales
  # The update check's tests over TLS: a certificate authority of their own
  # and a TLS front for their loopback server.
  openssl socat
)

# Wine follows LANG only where glibc has that locale: the program's texts
# are tested in both of its languages.
HORAVEL_LOCALES=(ja_JP.UTF-8 en_US.UTF-8)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    return 127
  fi
}

# Without root and without sudo nothing can be installed here: say what to
# run as root instead.
explain_missing_packages() {
  echo "Missing packages: $*" >&2
  echo "Run this as root, then try again:" >&2
  echo "  apt-get install -y --no-install-recommends $*" >&2
  exit 1
}

# Installs the Debian packages that are not there yet.
ensure_packages() {
  local missing=()
  local package
  for package in "${HORAVEL_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && { ensure_locales; return 0; }
  if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null 2>&1; then
    explain_missing_packages "${missing[@]}"
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! as_root apt-get install -y --no-install-recommends "${missing[@]}"; then
    as_root apt-get update
    as_root apt-get install -y --no-install-recommends "${missing[@]}"
  fi
  ensure_locales
}

# Generates the locales in HORAVEL_LOCALES that glibc does not have yet.
ensure_locales() {
  local wanted
  local missing=()
  for wanted in "${HORAVEL_LOCALES[@]}"; do
    # "locale -a" names them in lower case without the dash: ja_JP.utf8.
    locale -a 2>/dev/null | grep -qix "${wanted/UTF-8/utf8}" || missing+=("$wanted")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null 2>&1; then
    echo "Missing locales: ${missing[*]}. Add them to /etc/locale.gen and run locale-gen as root." >&2
    exit 1
  fi
  echo "Generating the locales: ${missing[*]}"
  for wanted in "${missing[@]}"; do
    grep -qx "$wanted UTF-8" /etc/locale.gen 2>/dev/null ||
      echo "$wanted UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
  done
  as_root locale-gen >/dev/null
}

# Configures the build folder given first with the options that follow
# (each caller names every option it relies on, so a cache left by another
# caller changes nothing).
configure_build() {
  local folder="$1"
  shift
  cmake -S "$HORAVEL_ROOT" -B "$folder" \
    -DCMAKE_TOOLCHAIN_FILE="$HORAVEL_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

# The program, its tests and the benchmark's sources, in $HORAVEL_BUILD.
build_all() {
  configure_build "$HORAVEL_BUILD" -DHORAVEL_BUILD_TESTS=ON -DHORAVEL_WERROR=ON "$@"
  cmake --build "$HORAVEL_BUILD" --parallel "$(nproc)"
}

# The program alone, in $HORAVEL_RUN_BUILD.
build_program() {
  configure_build "$HORAVEL_RUN_BUILD" -DHORAVEL_BUILD_TESTS=OFF -DHORAVEL_WERROR=OFF
  cmake --build "$HORAVEL_RUN_BUILD" --parallel "$(nproc)"
}

# Quiet, headless-safe Wine: no Mono or Gecko prompts, no debug chatter.
wine_environment() {
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# The font replacements the prefix needs, one "family=replacement" a line.
# VL Gothic carries kanji, so the menus read right in Japanese. GDI+ under
# Wine finds a replaced family only when the replacement's full name equals
# its family name: true of IPAGothic, not of VL Gothic ("VL Gothic
# Regular"). The clock and date draw with "Comic Sans MS", and GDI+'s
# generic sans-serif family is "Microsoft Sans Serif" or else "Arial".
# Dialogs and menus in any other language ask for Tahoma, which the prefix
# lacks: Wine would fall back to VL Gothic, whose Latin letters are all one
# width; VL PGothic's are proportional, as Tahoma's are.
font_mapping() {
  local family
  for family in "MS UI Gothic" "MS Gothic" "MS PGothic" "Meiryo" "Yu Gothic"; do
    echo "$family=VL Gothic"
  done
  echo "Tahoma=VL PGothic"
  for family in "Comic Sans MS" "Microsoft Sans Serif" "Arial"; do
    echo "$family=IPAGothic"
  done
}

# Makes the prefix in $WINEPREFIX if it is not there, with the fonts the
# clock asks for resolving to installed TrueType fonts. The prefix's server
# (and with it a clock already running there) is left alone unless the
# prefix was just made or its settings changed: replacements take effect
# only at the server's next start. With "unmanaged", Wine leaves every
# window to itself: on a private display no window manager runs, and Wine
# would wait two seconds for one each time a managed window is shown or
# hidden.
prepare_prefix() {
  local stamp="$WINEPREFIX/horavel-fonts.txt"
  local wanted
  wanted="$(font_mapping)"
  local managed=Y
  [ "${1:-}" = unmanaged ] && managed=N
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    rm -f "$stamp"
  fi
  [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted"$'\n'"Managed=$managed" ] && return 0
  local key='HKCU\Software\Wine\Fonts\Replacements'
  local line
  while IFS= read -r line; do
    wine reg add "$key" /v "${line%%=*}" /t REG_SZ /d "${line#*=}" /f >/dev/null 2>&1
  done <<<"$wanted"
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$managed" /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  printf '%s\nManaged=%s\n' "$wanted" "$managed" >"$stamp"
}

# Starts a private X server; sets HORAVEL_XVFB_PID and DISPLAY. By default
# two screens joined by Xinerama (with RandR off) make Wine see two
# monitors; "single" gives one screen of 1280 x 800.
start_xvfb() {
  local screens=(-screen 0 1280x800x24 -screen 1 1024x768x24 +xinerama -extension RANDR)
  [ "${1:-}" = single ] && screens=(-screen 0 1280x800x24)
  local number
  for number in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
    Xvfb ":$number" "${screens[@]}" -nolisten tcp >/dev/null 2>&1 &
    HORAVEL_XVFB_PID=$!
    local waited
    for waited in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$number" ] && break
      sleep 0.1
    done
    if kill -0 "$HORAVEL_XVFB_PID" 2>/dev/null && [ -e "/tmp/.X11-unix/X$number" ]; then
      export DISPLAY=":$number"
      return 0
    fi
  done
  echo "Could not start Xvfb" >&2
  return 1
}

stop_xvfb() {
  if [ -n "${HORAVEL_XVFB_PID:-}" ]; then
    kill "$HORAVEL_XVFB_PID" 2>/dev/null || true
    wait "$HORAVEL_XVFB_PID" 2>/dev/null || true
  fi
}

# Starts TigerVNC's X server, Xvnc, with one screen on the first free
# display out of the range start_xvfb takes. Xvfb puts every screen at the
# origin; Xvnc lays its screens out as a VNC client asks (the RFB
# SetDesktopSize message, tests/support/screen_layout.h), and Wine reports
# each as a monitor where the layout puts it. Sets DISPLAY, HORAVEL_VNC_PORT
# and HORAVEL_XVNC_PID; its output goes to the file given. Fails when it
# cannot start.
start_xvnc() {
  local log="$1"
  local number port try
  for number in $(seq 150 199); do
    port=$((5900 + number))
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || xvnc_listening "$port" && continue
    Xvnc ":$number" -geometry 1280x800 -depth 24 -rfbport "$port" -localhost -nolisten tcp \
      -SecurityTypes None -AcceptSetDesktopSize=1 >"$log" 2>&1 &
    HORAVEL_XVNC_PID=$!
    # Xvnc answers within a second; a loaded machine may take longer.
    for try in $(seq 100); do
      kill -0 "$HORAVEL_XVNC_PID" 2>/dev/null || break
      # Another server that took the number a moment before ends this one.
      if [ -e "/tmp/.X11-unix/X$number" ] && xvnc_listening "$port" && kill -0 "$HORAVEL_XVNC_PID" 2>/dev/null; then
        export DISPLAY=":$number" HORAVEL_VNC_PORT="$port"
        return 0
      fi
      sleep 0.1
    done
    stop_xvnc
  done
  return 1
}

xvnc_listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

stop_xvnc() {
  if [ -n "${HORAVEL_XVNC_PID:-}" ]; then
    kill "$HORAVEL_XVNC_PID" 2>/dev/null || true
    wait "$HORAVEL_XVNC_PID" 2>/dev/null || true
    HORAVEL_XVNC_PID=""
  fi
}

# A throwaway home folder, Wine prefix and X display for this run, all
# removed when the script exits. One Wine server serves the whole run, so
# that each program starts quickly; its background services start here,
# away from the caller's output pipes (ctest would wait on them until they
# close).
use_scratch_wine() {
  HORAVEL_SCRATCH="$(mktemp -d "/tmp/horavel-$1.XXXXXX")"
  # Tests that need folders of their own make them in here: one killed
  # outright leaves nothing behind once the run ends.
  export HORAVEL_SCRATCH
  trap cleanup_scratch_wine EXIT
  export HOME="$HORAVEL_SCRATCH/home"
  export WINEPREFIX="$HORAVEL_SCRATCH/prefix"
  mkdir -p "$HOME"
  wine_environment
  start_xvfb "${2:-}"
  prepare_prefix unmanaged
  wineserver -p >/dev/null 2>&1
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}

cleanup_scratch_wine() {
  wineserver -k >/dev/null 2>&1 || true
  stop_xvfb
  stop_xvnc
  rm -rf "$HORAVEL_SCRATCH"
}

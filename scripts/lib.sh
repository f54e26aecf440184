# Shared by scripts/run, scripts/test and scripts/bench: installs what is
# missing, builds, and prepares Wine and a virtual display.
# shellcheck shell=bash

HORAVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
HORAVEL_BUILD="${HORAVEL_BUILD:-$HORAVEL_ROOT/build}"

HORAVEL_PACKAGES=(
  cmake make
  g++-mingw-w64-x86-64-posix mingw-w64
  wine wine64
  xvfb
  googletest
  fonts-dejavu-core fonts-vlgothic fonts-ipafont-gothic fonts-wine
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the Debian packages that are not there yet.
ensure_packages() {
  local missing=()
  local package
  for package in "${HORAVEL_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! as_root apt-get install -y --no-install-recommends "${missing[@]}"; then
    as_root apt-get update
    as_root apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# Configures and builds everything that the default target holds.
build_all() {
  local extra=("$@")
  cmake -S "$HORAVEL_ROOT" -B "$HORAVEL_BUILD" \
    -DCMAKE_TOOLCHAIN_FILE="$HORAVEL_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release "${extra[@]}" >/dev/null
  cmake --build "$HORAVEL_BUILD" --parallel "$(nproc)"
}

# Quiet, headless-safe Wine: no Mono or Gecko prompts, no debug chatter.
wine_environment() {
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# Makes the prefix in $WINEPREFIX if it is not there, with the fonts the
# clock asks for resolving to installed TrueType fonts.
prepare_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
  fi
  local key='HKCU\Software\Wine\Fonts\Replacements'
  local family
  # VL Gothic carries kanji, so the menus read right in Japanese.
  for family in "MS UI Gothic" "MS Gothic" "MS PGothic" "Meiryo" "Yu Gothic"; do
    wine reg add "$key" /v "$family" /t REG_SZ /d "VL Gothic" /f >/dev/null 2>&1
  done
  # GDI+ under Wine finds a replaced family only when the replacement's full
  # name equals its family name: true of IPAGothic, not of VL Gothic ("VL
  # Gothic Regular"). The clock and date draw with "Comic Sans MS", and GDI+'s
  # generic sans-serif family is "Microsoft Sans Serif" or else "Arial".
  for family in "Comic Sans MS" "Microsoft Sans Serif" "Arial"; do
    wine reg add "$key" /v "$family" /t REG_SZ /d "IPAGothic" /f >/dev/null 2>&1
  done
  # Replacements take effect at the next start of the prefix's server.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# Starts a private X server; sets HORAVEL_XVFB_PID and DISPLAY. Two screens
# joined by Xinerama (with RandR off) make Wine see two monitors.
start_xvfb() {
  local number
  for number in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
    Xvfb ":$number" -screen 0 1280x800x24 -screen 1 1024x768x24 +xinerama -extension RANDR \
      -nolisten tcp >/dev/null 2>&1 &
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

# A throwaway home folder, Wine prefix and X display for this run, all
# removed when the script exits. One Wine server serves the whole run, so
# that each program starts quickly; its background services start here,
# away from the caller's output pipes (ctest would wait on them until they
# close).
use_scratch_wine() {
  HORAVEL_SCRATCH="$(mktemp -d "/tmp/horavel-$1.XXXXXX")"
  trap cleanup_scratch_wine EXIT
  export HOME="$HORAVEL_SCRATCH/home"
  export WINEPREFIX="$HORAVEL_SCRATCH/prefix"
  mkdir -p "$HOME"
  wine_environment
  start_xvfb
  prepare_prefix
  wineserver -p >/dev/null 2>&1
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}

cleanup_scratch_wine() {
  wineserver -k >/dev/null 2>&1 || true
  stop_xvfb
  rm -rf "$HORAVEL_SCRATCH"
}

#!/usr/bin/env bash
# The Windows leg: cross-builds fx.dll, Pellix.dll and zelkor.exe with mingw-w64 and runs the tests
# under wine on a virtual X display. Works from a fresh Debian machine and is safe to run again.
#
#   scripts/windows.sh            install what is missing, build the windows preset, run its tests
#   scripts/windows.sh build      the same without the tests
#   scripts/windows.sh run P.exe  run one program of build/windows/bin under the same wine setup;
#                                 with SHOT=file.png the screen is saved SHOT_DELAY (3) s after start
#   scripts/windows.sh demo       examples/chat.session in the real windows, then screenshots of
#                                 each window into docs/ (windows-*.png)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$ROOT/build/windows
LOG=$BUILD/windows-setup.log
# Must match FX_WINEPREFIX of the windows preset: ctest runs the programs in this prefix.
export WINEPREFIX=$BUILD/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono / Gecko install prompts
# Programs under wine run in a Japanese locale (the test preset sets the same); the compilers keep
# the caller's.
WINE_LANG=ja_JP.UTF-8

PACKAGES=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest
          wine64 libxrender1 libxrandr2 libxcursor1 libxi6 libxinerama1 libxcomposite1 libxfixes3
          fonts-wine xvfb xauth locales fonts-ipafont-gothic imagemagick)

say() { printf 'windows.sh: %s\n' "$*"; }
die() { say "$*" >&2; exit 1; }

as_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"
  elif command -v sudo >/dev/null; then sudo "$@"
  else die "need root to run: $*"
  fi
}

install_packages() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    say "installing ${missing[*]}"
    local start=$SECONDS
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      -o Dpkg::Use-Pty=0 "${missing[@]}" >>"$LOG" 2>&1 || die "apt-get install failed, see $LOG"
    say "packages installed in $((SECONDS - start)) s"
  fi
  local locales
  locales=$(locale -a 2>/dev/null || true)
  if ! grep -qix 'ja_JP.utf8' <<<"$locales"; then
    say "generating the ja_JP.UTF-8 locale"
    as_root localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  fi
}

find_wine() {
  WINE=$(dpkg -L wine64 2>/dev/null | grep -m1 '/wine64$' || true)
  [[ -x $WINE ]] || die "wine64 loader not found (dpkg -L wine64)"
  WINESERVER=$(dirname "$WINE")/wineserver
}

wine() { env -u LC_ALL LANG="$WINE_LANG" "$WINE" "$@"; }

XVFB_PID=
cleanup() {
  # Only what this run started: the prefix's wineserver and our own Xvfb.
  if [[ -n ${WINESERVER:-} && -d $WINEPREFIX ]]; then "$WINESERVER" -k >/dev/null 2>&1 || true; fi
  if [[ -n $XVFB_PID ]]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}

start_display() {
  if [[ -n ${DISPLAY:-} && -S /tmp/.X11-unix/X${DISPLAY#:} ]]; then return; fi
  local n=90
  while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >>"$LOG" 2>&1 &
  XVFB_PID=$!
  local tries=50
  while [[ ! -S /tmp/.X11-unix/X$n ]] && ((tries-- > 0)); do sleep 0.1; done
  [[ -S /tmp/.X11-unix/X$n ]] || die "Xvfb did not start, see $LOG"
  export DISPLAY=:$n
}

# A registry file for regedit: UTF-16LE with a BOM, so that the Japanese value names survive
# whatever the code page of the prefix.
write_registry() {
  {
    printf '\xff\xfe'
    iconv -f UTF-8 -t UTF-16LE <<'EOF'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"MS UI Gothic"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1280x1024"

EOF
  } >"$1"
}

prepare_prefix() {
  mkdir -p "$BUILD"
  # A server left from an earlier wine command exits by itself within seconds.
  timeout 20 "$WINESERVER" -w || true
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    say "creating the wine prefix $WINEPREFIX"
    local start=$SECONDS
    wine wineboot -i </dev/null >>"$LOG" 2>&1 || true
    "$WINESERVER" -w
    [[ -f $WINEPREFIX/system.reg ]] || die "wineboot failed, see $LOG"
    say "prefix ready in $((SECONDS - start)) s"
  fi
  # Wine draws the caption buttons with Marlett, but does not find its own fonts folder here.
  local f
  for f in /usr/share/wine/fonts/{marlett,tahoma,tahomabd}.ttf; do
    [[ -f $f ]] && ln -sf "$f" "$WINEPREFIX/drive_c/windows/Fonts/"
  done
  # A persistent wineserver with the desktop and services already running: otherwise the first
  # test program starts them, they inherit ctest's output pipe, and ctest waits for them to exit.
  "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
  write_registry "$BUILD/wine-settings.reg"
  wine regedit /S "$(winepath_of "$BUILD/wine-settings.reg")" </dev/null >>"$LOG" 2>&1
  wine wineboot </dev/null >>"$LOG" 2>&1
}

# Z: maps the Unix root.
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }

# /usr/bin explicitly: the image may put a stand-in convert ahead of ImageMagick on PATH.
screenshot() {
  /usr/bin/import -window root "$1"
  say "screenshot saved to $1"
}

build() {
  cmake --preset windows >>"$LOG" 2>&1 || { tail -40 "$LOG"; die "configure failed"; }
  cmake --build --preset windows
}

run_tests() {
  ctest --preset windows
}

# The desktop above the host's window (placed at the bottom by ZELKOR_WINDOW), cut to what is
# not background: the plug-in window in front (with its popup menu, if one is open).
shot_of_plugin_window() {
  local raw=$BUILD/demo-raw.png
  screenshot "$raw" >/dev/null
  /usr/bin/convert "$raw" -crop 1280x690+0+0 +repage -trim +repage -bordercolor '#3a6ea5' -border 8 "$1"
  say "screenshot saved to $1"
}

demo() {
  local home=$BUILD/demo-home fifo=$BUILD/demo-input
  rm -rf "$home" && mkdir -p "$home"
  cp "$ROOT/tests/sessions/chat.Zelkor.ini" "$home/Zelkor.ini"
  rm -f "$fifo" && mkfifo "$fifo"
  # The session's lines go in through standard input, a few at a time, with pauses for the
  # screenshots; the windows are real and the popup menu is the system's own.
  ZELKOR_WINDOW=0,700,1280,324 ZELKOR_REAL_MENUS=1 \
    wine "$BUILD/bin/zelkor.exe" --home "$home" <"$fifo" >"$BUILD/demo-transcript.txt" 2>>"$LOG" &
  local pid=$!
  exec 3>"$fifo"
  send() { printf '%s\n' "$@" >&3; }
  grep -v '^ui show\|^ui click 13007 1$' "$ROOT/examples/chat.session" >&3
  send "say #event" "ui close 13001" "ui close 13007" "ui resize 13000 520 300"
  sleep 3; shot_of_plugin_window "$ROOT/docs/windows-eventlog.png"
  send "ui rclick 13000 13000 2 2"
  sleep 2; shot_of_plugin_window "$ROOT/docs/windows-eventlog-menu.png"
  send "ui close 13000" "say #setting" "ui tab 13001 13001 0"
  sleep 2; shot_of_plugin_window "$ROOT/docs/windows-settings-autoreact.png"
  send "ui tab 13001 13001 1"
  sleep 2; shot_of_plugin_window "$ROOT/docs/windows-settings-eventlog.png"
  send "ui close 13001" "say #url"
  sleep 2; shot_of_plugin_window "$ROOT/docs/windows-url.png"
  screenshot "$ROOT/docs/windows-desktop.png"
  exec 3>&-
  wait "$pid" || die "zelkor.exe failed, see $LOG"
  rm -f "$fifo" "$BUILD/demo-raw.png"
  say "transcript in $BUILD/demo-transcript.txt, files in $home"
}

main() {
  local command=${1:-all}
  case $command in
    all | build | run | demo) ;;
    *) die "unknown command '$command' (all, build, run PROGRAM [ARGS], demo)" ;;
  esac
  mkdir -p "$BUILD"
  : >"$LOG"
  install_packages
  find_wine
  if [[ $command == build ]]; then build; return; fi
  trap cleanup EXIT
  start_display
  prepare_prefix
  case $command in
    all) build; run_tests ;;
    run)
      shift
      [[ $# -ge 1 ]] || die "run needs a program"
      local program=$1
      [[ -f $program ]] || program=$BUILD/bin/$1
      shift
      if [[ -z ${SHOT:-} ]]; then
        wine "$program" "$@"
      else
        wine "$program" "$@" &
        local pid=$!
        sleep "${SHOT_DELAY:-3}"
        screenshot "$SHOT"
        wait "$pid"
      fi
      ;;
    demo) build; demo ;;
  esac
}

main "$@"

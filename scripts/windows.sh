#!/usr/bin/env bash
# The Windows leg: cross-builds fx.dll, Pellix.dll and zelkor.exe with mingw-w64 and runs the tests
# under wine on a virtual X display. Works from a fresh Debian machine and is safe to run again.
#
#   scripts/windows.sh            install what is missing (scripts/install-packages.sh windows),
#                                 build the windows preset, run its tests
#   scripts/windows.sh build      the same without the tests
#   scripts/windows.sh run P.exe  run one program of build/windows/bin under the same wine setup;
#                                 with SHOT=file.png the screen is saved SHOT_DELAY (3) s after start
#   scripts/windows.sh demo       examples/chat.session in zelkor.exe's real windows, then real
#                                 clicks and keys (xdotool, aimed with "ui where"): the context
#                                 menu at the pointer, a double click read back with xclip, the
#                                 message box over its owner, a folder chosen in the picker;
#                                 screenshots into docs/ (windows-*.png)
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

say() { printf 'windows.sh: %s\n' "$*"; }
die() { say "$*" >&2; exit 1; }

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

# The host's window at the bottom of the screen; the virtual desktop's coordinates are the
# display's, so a point from "ui where" is where xdotool clicks.
HOST_X=0 HOST_Y=700 HOST_WIDTH=1280 HOST_HEIGHT=324

# Waits for a new transcript line that starts with the text (after `before` such lines).
await_line() {
  local text=$1 before=$2 tries=100 count
  while ((tries-- > 0)); do
    count=$(grep -cF -- "$text" "$TRANSCRIPT" || true)
    if ((count > before)); then grep -F -- "$text" "$TRANSCRIPT" | tail -1; return; fi
    sleep 0.1
  done
  die "no line '$text' in the transcript ($TRANSCRIPT)"
}

# "ui where D [C]": the rectangle's left, top, width and height.
where() {
  local label="[where $*]" before
  before=$(grep -cF -- "$label" "$TRANSCRIPT" || true)
  send "ui where $*"
  local line
  line=$(await_line "$label" "$before")
  read -r WHERE_X WHERE_Y WHERE_W WHERE_H <<<"${line#"$label "}"
  [[ $WHERE_X =~ ^-?[0-9]+$ && $WHERE_H =~ ^[0-9]+$ ]] || die "not on the screen: $line"
}

demo() {
  local home=$BUILD/demo-home fifo=$BUILD/demo-input
  TRANSCRIPT=$BUILD/demo-transcript.txt
  rm -rf "$home" && mkdir -p "$home"
  cp "$ROOT/tests/sessions/chat.Zelkor.ini" "$home/Zelkor.ini"
  rm -f "$fifo" && mkfifo "$fifo"
  # The session's lines go in through standard input, a few at a time, with pauses for the
  # screenshots; zelkor.exe runs with its own (screen) desktop, as a person uses it.
  ZELKOR_WINDOW=$HOST_X,$HOST_Y,$HOST_WIDTH,$HOST_HEIGHT \
    wine "$BUILD/bin/zelkor.exe" --home "$home" <"$fifo" >"$TRANSCRIPT" 2>>"$LOG" &
  local pid=$!
  exec 3>"$fifo"
  send() { printf '%s\n' "$@" >&3; }
  # The URL collector's "開く" would start a browser: left out.
  grep -v '^ui show\|^ui click 13007 1$' "$ROOT/examples/chat.session" >&3
  send "say #event" "ui close 13001" "ui close 13007" "ui resize 13000 520 300"
  sleep 3; shot_of_plugin_window "$ROOT/docs/windows-eventlog.png"

  # A real right click on the third row (the first URL) of the event log: the system's menu
  # opens at the pointer. Rows start below the header, about 14 pixels apart.
  where 13000 13000
  local rowX=$((WHERE_X + 160)) rowY=$((WHERE_Y + 26 + 2 * 14))
  xdotool mousemove "$rowX" "$rowY" click 3
  sleep 2; shot_of_plugin_window "$ROOT/docs/windows-eventlog-menu.png"
  xdotool key Escape
  # A double click on its detail cell copies it; another program reads it back.
  local copies
  copies=$(grep -cF '[clipboard]' "$TRANSCRIPT" || true)
  xdotool mousemove "$rowX" "$rowY" click --repeat 2 --delay 80 1
  await_line '[clipboard]' "$copies" >/dev/null
  say "clipboard as another program reads it: $(timeout 5 xclip -o -selection clipboard)"

  send "ui close 13000" "say #setting" "ui tab 13001 13001 0"
  sleep 2; shot_of_plugin_window "$ROOT/docs/windows-settings-autoreact.png"
  send "ui tab 13001 13001 1"
  sleep 2; shot_of_plugin_window "$ROOT/docs/windows-settings-eventlog.png"
  send "ui close 13001" "say #url"
  sleep 2; shot_of_plugin_window "$ROOT/docs/windows-url.png"
  screenshot "$ROOT/docs/windows-desktop.png"

  # "#start" typed twice into the host's input line: the second one gets the application's
  # message box. The host window is dragged by its caption to the middle of the screen first,
  # where the box appears, so that the box stands over its owner.
  send "ui close 13007"
  sleep 1
  local dragY=$((HOST_Y + 12)) top=380
  xdotool mousemove 400 "$dragY" mousedown 1 mousemove 400 $((dragY - 100)) sleep 0.2 \
    mousemove 400 $((top + 12)) sleep 0.2 mouseup 1
  local inputY=$((top + HOST_HEIGHT - 16))
  xdotool mousemove 640 "$inputY" click 1
  xdotool type --delay 30 '#start'; xdotool key Return; sleep 1
  xdotool type --delay 30 '#start'; xdotool key Return; sleep 2
  screenshot "$BUILD/demo-raw.png" >/dev/null
  /usr/bin/convert "$BUILD/demo-raw.png" -crop ${HOST_WIDTH}x$((HOST_HEIGHT + 16))+0+$((top - 8)) +repage \
    "$ROOT/docs/windows-messagebox.png"
  say "screenshot saved to $ROOT/docs/windows-messagebox.png"
  local boxes
  boxes=$(grep -cF '[message box:' "$TRANSCRIPT" || true)
  xdotool key Return
  await_line '[message box:' "$boxes"

  # 参照 on the event-log page, clicked where "ui where" says it is: the system's folder picker.
  send "say #setting" "ui tab 13001 13001 1"
  where 13003 13010
  xdotool mousemove $((WHERE_X + WHERE_W / 2)) $((WHERE_Y + WHERE_H / 2)) click 1
  sleep 2; screenshot "$BUILD/demo-raw.png" >/dev/null
  /usr/bin/convert "$BUILD/demo-raw.png" -crop 900x470+0+$((top - 8)) +repage "$ROOT/docs/windows-folder-picker.png"
  say "screenshot saved to $ROOT/docs/windows-folder-picker.png"
  # Escape closes the picker without a choice; opened again, the keyboard picks a folder: Home
  # selects デスクトップ (the user's Desktop folder), Return takes it.
  local pickers
  pickers=$(grep -cF '[folder picker]' "$TRANSCRIPT" || true)
  xdotool key Escape
  await_line '[folder picker]' "$pickers"
  xdotool mousemove $((WHERE_X + WHERE_W / 2)) $((WHERE_Y + WHERE_H / 2)) click 1
  sleep 2
  pickers=$((pickers + 1))
  xdotool key Home
  sleep 0.5
  xdotool key Return
  await_line '[folder picker]' "$pickers"
  send "ui show 13003"
  sleep 1; screenshot "$BUILD/demo-folder-chosen.png"
  exec 3>&-
  wait "$pid" || die "zelkor.exe failed, see $LOG"
  rm -f "$fifo" "$BUILD/demo-raw.png"
  say "transcript in $TRANSCRIPT, files in $home"
}

main() {
  local command=${1:-all}
  case $command in
    all | build | run | demo) ;;
    *) die "unknown command '$command' (all, build, run PROGRAM [ARGS], demo)" ;;
  esac
  mkdir -p "$BUILD"
  : >"$LOG"
  "$ROOT/scripts/install-packages.sh" windows
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

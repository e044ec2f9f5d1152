#!/usr/bin/env bash
# Installs the system packages a job needs, if any are missing: the one place that names them.
# Debian 12 (bookworm) and its derivatives; uses sudo when not run as root.
#
#   scripts/install-packages.sh demo      compiler, CMake and OpenSSL's headers: enough to build
#                                         zelkor and the plug-in
#   scripts/install-packages.sh test      the above, GoogleTest, clang with its sanitizer runtimes
#                                         and python3 for the fuzz targets and the include check,
#                                         and for the live-channel tests an IRC server (ngircd) and
#                                         the openssl command
#   scripts/install-packages.sh bench     the above for the benchmarks (Google Benchmark, python3)
#   scripts/install-packages.sh windows   the mingw-w64 cross compiler, GoogleTest's sources, wine,
#                                         Xvfb, Japanese fonts, the ja_JP.UTF-8 locale, the
#                                         screenshot, input and clipboard tools of the demo, and
#                                         ngircd, openssl and python3 for the live-channel tests
#   scripts/install-packages.sh list JOB  print the packages of JOB, one a line, and install nothing
#
# Several jobs may be given at once. apt's output goes to build/install-packages.log.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
LOG=$ROOT/build/install-packages.log

# Debian package names. Other systems: install the same pieces under their own names.
declare -A PACKAGES=(
  [demo]="cmake make g++ libssl-dev"
  [test]="cmake make g++ libssl-dev libgtest-dev libgmock-dev clang libclang-rt-14-dev python3 ngircd openssl"
  [bench]="cmake make g++ libssl-dev libbenchmark-dev python3 ngircd"
  [windows]="cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest
             wine64 libxrender1 libxrandr2 libxcursor1 libxi6 libxinerama1 libxcomposite1 libxfixes3
             fonts-wine xvfb xauth locales fonts-ipafont-gothic imagemagick xdotool xclip
             ngircd openssl python3"
)
# Servers that the tests start themselves, each on a free port of its own: their packages must
# leave no system instance running (ngircd's would hold port 6667) nor starting at boot.
DAEMONS="ngircd"
# The programs under wine run in this locale.
WINDOWS_LOCALE=ja_JP.UTF-8

say() { printf 'install-packages.sh: %s\n' "$*"; }
die() { say "$*" >&2; exit 1; }

usage() {
  die "usage: $0 JOB... | list JOB (jobs: ${!PACKAGES[*]})"
}

check_jobs() {
  local job
  for job in "$@"; do
    [[ -n ${PACKAGES[$job]+set} ]] || usage
  done
}

packages_of() {
  local job
  for job in "$@"; do
    printf '%s\n' ${PACKAGES[$job]}
  done | sort -u
}

as_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"
  elif command -v sudo >/dev/null; then sudo "$@"
  else die "needs root (or sudo) to run: $*"
  fi
}

installed() {
  [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == "install ok installed" ]]
}

# While apt installs a daemon, a policy-rc.d refuses every service start (invoke-rc.d and
# deb-systemd-invoke ask it); one the system already has is left as it is.
POLICY=/usr/sbin/policy-rc.d
OUR_POLICY=
hold_services() {
  [[ -e $POLICY ]] && return
  as_root sh -c "printf '#!/bin/sh\\n# install-packages.sh: no service starts during this install\\nexit 101\\n' >$POLICY && chmod 755 $POLICY"
  OUR_POLICY=1
}
release_services() {
  if [[ -n $OUR_POLICY ]]; then
    as_root rm -f "$POLICY"
    OUR_POLICY=
  fi
}

# A daemon just installed: not started at boot, and stopped if it started all the same (only
# the instance of its own PID file).
quiet_daemon() {
  local name=$1 pidfile=/run/$1/$1.pid
  if [[ -d /run/systemd/system ]] && command -v systemctl >/dev/null; then
    as_root systemctl disable --now "$name.service" >>"$LOG" 2>&1 || true
    return
  fi
  if command -v update-rc.d >/dev/null; then as_root update-rc.d "$name" disable >>"$LOG" 2>&1 || true; fi
  if [[ -s $pidfile ]] && command -v start-stop-daemon >/dev/null; then
    as_root start-stop-daemon --stop --quiet --retry TERM/10/KILL/5 --pidfile "$pidfile" \
      --exec "/usr/sbin/$name" >>"$LOG" 2>&1 || true
  fi
}

has_locale() {
  locale -a 2>/dev/null | grep -qix "${1/UTF-8/utf8}"
}

main() {
  [[ $# -ge 1 ]] || usage
  if [[ $1 == list ]]; then
    shift
    [[ $# -ge 1 ]] || usage
    check_jobs "$@"
    packages_of "$@"
    return
  fi
  check_jobs "$@"
  local wanted=() missing=() package job
  mapfile -t wanted < <(packages_of "$@")
  if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
    say "not a Debian system: install these (Debian's names) with your package manager:"
    say "  ${wanted[*]}"
    return
  fi
  for package in "${wanted[@]}"; do
    installed "$package" || missing+=("$package")
  done
  mkdir -p "$(dirname "$LOG")"
  if ((${#missing[@]})); then
    say "installing ${missing[*]}"
    local start=$SECONDS daemons=()
    for package in "${missing[@]}"; do
      [[ " $DAEMONS " == *" $package "* ]] && daemons+=("$package")
    done
    if ((${#daemons[@]})); then
      trap release_services EXIT
      hold_services
    fi
    # A fresh machine has no package lists yet.
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q >>"$LOG" 2>&1 ||
      { tail -n 20 "$LOG" >&2; die "apt-get update failed, see $LOG"; }
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
      -o Dpkg::Use-Pty=0 "${missing[@]}" >>"$LOG" 2>&1 ||
      { tail -n 20 "$LOG" >&2; die "apt-get install failed, see $LOG"; }
    release_services
    for package in "${daemons[@]}"; do
      quiet_daemon "$package"
    done
    say "installed in $((SECONDS - start)) s"
  fi
  for job in "$@"; do
    if [[ $job == windows ]] && ! has_locale "$WINDOWS_LOCALE"; then
      say "generating the $WINDOWS_LOCALE locale"
      as_root localedef -i "${WINDOWS_LOCALE%%.*}" -f "${WINDOWS_LOCALE#*.}" "$WINDOWS_LOCALE"
    fi
  done
}

main "$@"

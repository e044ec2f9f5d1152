#!/usr/bin/env bash
# Installs what the build needs (on Debian), builds the plug-in and the replacement host (no test
# suite), then runs the example session: the transcript goes to the terminal, the INI and log
# files to build/demo-home/, and the HTML log is shown.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-packages.sh demo
cmake --preset demo >/dev/null
cmake --build --preset demo
home=build/demo-home
rm -rf "${home}"
mkdir -p "${home}"
cp examples/Zelkor.ini "${home}/"
build/demo/bin/zelkor --home "${home}" --list-files examples/demo.session
for log in "${home}"/EventLog*; do
  [ -e "${log}" ] || continue
  echo
  echo "== ${log} (Shift-JIS, shown here as UTF-8)"
  iconv -f CP932 -t UTF-8 "${log}"
done

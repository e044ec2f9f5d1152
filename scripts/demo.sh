#!/usr/bin/env bash
# Builds the plug-in and the replacement host, then runs the example session: the transcript
# goes to the terminal, the INI and log files to build/demo-home/.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset native >/dev/null
cmake --build --preset native --target zelkor
home=build/demo-home
rm -rf "${home}"
build/native/bin/zelkor --home "${home}" --list-files examples/demo.session
echo "The files above are in ${home}/"

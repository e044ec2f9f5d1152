#!/usr/bin/env bash
# Renders the HTML log of examples/browser.session in headless Chromium (Debian's chromium
# package) as a user would see it, and saves the picture as docs/browser-log.png.
#   scripts/browser.sh [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/browser-log.png}")
command -v chromium >/dev/null || { echo "browser.sh: chromium is missing (apt-get install chromium)" >&2; exit 1; }

cmake --preset native >/dev/null
cmake --build --preset native --target zelkor Pellix >/dev/null
home=$(mktemp -d)
profile=$(mktemp -d)
trap 'rm -rf "${home}" "${profile}"' EXIT
cp examples/Zelkor.ini "${home}/"
build/native/bin/zelkor --home "${home}" examples/browser.session >/dev/null
log=$(ls "${home}"/EventLog*.html)
# The log is Shift-JIS without a charset of its own, as a Windows browser would read it in a
# Japanese locale: here it is converted and the charset named.
{ printf '<meta charset="utf-8">\n'; iconv -f CP932 -t UTF-8 "${log}"; } >"${home}/log.html"
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
  --disable-component-update --disable-sync --user-data-dir="${profile}" --hide-scrollbars \
  --window-size=1000,330 --screenshot="${out}" "file://${home}/log.html" >/dev/null 2>&1
echo "browser.sh: ${out}"

#!/usr/bin/env bash
# Installs what the tests need (on Debian), then builds and runs every test: the native build,
# the same suite under the address and undefined-behaviour sanitizers, then a short run of every
# fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-packages.sh test

for preset in native sanitize; do
  echo "== ${preset}: configure and build"
  cmake --preset "${preset}" >/dev/null
  cmake --build --preset "${preset}"
  echo "== ${preset}: test"
  ctest --preset "${preset}"
done

# The fuzz targets, 60 s each from their committed seed corpora, two at a time (clang with ASan
# and UBSan; see scripts/fuzz.sh), with a fixed seed so that the run is the same every time.
echo "== fuzz: 60 s per target"
PELLIX_FUZZ_SEED=1 scripts/fuzz.sh 60

#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for SECONDS (default 60),
# from its seed corpus in fuzz/corpus/<target>. New inputs go to a scratch
# corpus in the build folder; a crash leaves its input there too and fails the script.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true
build="${PELLIX_FUZZ_BUILD:-build/fuzz}"
command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is missing (scripts/install-packages.sh test installs it)" >&2; exit 1; }

python3 fuzz/prepare_sources.py "$PWD" "${build}/src"
cmake -S "${build}/src" -B "${build}/out" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=None >/dev/null
targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=()
  for corpus in fuzz/corpus/*/; do
    name="$(basename "${corpus}")"
    [[ -f "fuzz/${name}.cpp" ]] && targets+=("${name}")
  done
fi
if ! cmake --build "${build}/out" --target "${targets[@]}" -j2 >"${build}/build.log" 2>&1; then
  tail -n 60 "${build}/build.log" >&2
  exit 1
fi

# Leaks are found by the test suite's LeakSanitizer run; a fuzz run keeps its state across inputs.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
# Two targets at a time by default (the machine has two cores); PELLIX_FUZZ_JOBS=1 runs them
# one by one.
jobs="${PELLIX_FUZZ_JOBS:-2}"
# PELLIX_FUZZ_SEED fixes libFuzzer's seed, so that a run (CI's) takes the same path every time;
# without it every run explores afresh.
seed_option=()
[[ -n "${PELLIX_FUZZ_SEED:-}" ]] && seed_option=(-seed="${PELLIX_FUZZ_SEED}")
run_target() {
  local target="$1" scratch="${build}/runs/$1"
  mkdir -p "${scratch}/corpus" "fuzz/corpus/${target}"
  if ! "${build}/out/bin/${target}" -max_total_time="${seconds}" "${seed_option[@]}" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="${scratch}/" -print_final_stats=1 "${scratch}/corpus" "fuzz/corpus/${target}" \
      >"${scratch}/log.txt" 2>&1; then
    echo "== ${target}: FAILED, see ${scratch}/log.txt and the crash-* input beside it" >&2
    tail -n 40 "${scratch}/log.txt" >&2
    return 1
  fi
  echo "== ${target}: ${seconds} s, $(grep -a '^stat::number_of_executed_units' "${scratch}/log.txt" | awk '{print $2}') inputs, no finding"
}
status=0
pids=()
for target in "${targets[@]}"; do
  run_target "${target}" &
  pids+=($!)
  if ((${#pids[@]} >= jobs)); then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "${pid}" || status=1; done
exit "${status}"

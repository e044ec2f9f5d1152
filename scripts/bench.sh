#!/usr/bin/env bash
# Builds the benchmarks (RelWithDebInfo, as the native preset) and prints the README's table:
# each figure beside the baseline measured in the same run. Run it on a quiet machine.
#   scripts/bench.sh            the table (about four minutes)
#   scripts/bench.sh windows    P1 and P3 of the Windows build under wine (scripts/windows.sh must
#                               have set wine up): Google Benchmark is not built for mingw, so the
#                               same sources run on their own timing loop (bench/TimingLoop.h);
#                               P1 with 100 lines per repetition; P3 only for the row counts
#                               given in PELLIX_BENCH_ROWS (such as "100000 1000000"); the host's
#                               cost per received line and zelkor.exe end to end on a live channel
# PELLIX_BENCH_LINES=N runs the chat line N times per repetition instead of 100,000 (for valgrind).
# PELLIX_LATENCY_LINES=N sends N lines end to end (300 natively, 100 under wine); ngircd must be
# installed (Debian's package ngircd).
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ ${1:-} == windows ]]; then
  build=build/windows-bench
  cmake -S . -B "${build}" --toolchain cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFX_BACKEND=win32 \
    -DPELLIX_BUILD_BENCH=ON -DPELLIX_BUILD_TESTS=OFF >/dev/null
  cmake --build "${build}" --target bench_chat bench_eventlist bench_irc zelkor Pellix -j2 >/dev/null
  out="${PWD}/${build}/results"
  mkdir -p "${out}"
  hosts="${PWD}/${build}/bench-hosts"
  irc_exe="${PWD}/${build}/bin/bench_irc.exe"
  export WINEPATH="Z:${PWD}/${build}/bin"
  # A chat line costs far more under wine, where every row, record line and combo item goes
  # through the wine server: 100 lines per repetition instead of 100,000.
  chat_lines="${PELLIX_BENCH_LINES:-100}"
  # Each program under the name the plug-in imports from, in a folder of its own.
  (cd "${out}" && PELLIX_BENCH_LINES="${chat_lines}" ../../../scripts/windows.sh run "${hosts}/bench_chat/zelkor.exe" \
    --benchmark_format=json) | tr -d '\r' | sed -n '/^{/,$p' >"${out}/chat.json"
  # The host's protocol code alone, no plug-in: the full count of lines, as natively.
  (cd "${out}" && ../../../scripts/windows.sh run "${irc_exe}" --benchmark_format=json) \
    | tr -d '\r' | sed -n '/^{/,$p' >"${out}/irc.json"
  # zelkor.exe on a live channel under wine, in the prefix scripts/windows.sh prepared; the server
  # and the peers stay native.
  python3 bench/live_latency.py --emulator wine --zelkor "${build}/bin/zelkor.exe" \
    ${PELLIX_LATENCY_LINES:+--lines "${PELLIX_LATENCY_LINES}"} >"${out}/latency.json"
  rm -f "${out}"/eventlist-*.json
  # One session per size (not the five of the native median) and its baseline, each in a
  # process of its own.
  for size in ${PELLIX_BENCH_ROWS:-}; do
    for name in BM_EventListAppend BM_Baseline_VectorOfStrings; do
      (cd "${out}" && ../../../scripts/windows.sh run "${hosts}/bench_eventlist/zelkor.exe" \
        --benchmark_filter="${name}/${size}/" --benchmark_format=json) | tr -d '\r' | sed -n '/^{/,$p' \
        >"${out}/eventlist-${size}-${name}.json"
    done
  done
  cd "${out}"
  python3 - <<'PY'
import json

def load(name):
    with open(name) as f:
        return json.load(f)["benchmarks"]

def pick(rows, prefix):
    for row in rows:
        if row["name"].startswith(prefix):
            return row
    raise SystemExit("missing result: " + prefix)

def us(row):
    return row["real_time"] * {"ns": 1e-3, "us": 1.0, "ms": 1e3}[row["time_unit"]]

chat = load("chat.json")
base = pick(chat, "BM_Baseline_WriteSameBytes")
none = pick(chat, "BM_ChatLine_NoRuleMatches")
every = pick(chat, "BM_ChatLine_AllRulesMatch")
irc = load("irc.json")
with open("latency.json") as f:
    latency = json.load(f)
rows = [
    ("P1 chat line, 99 rules, none match (wine)", f"{us(none):.2f} µs", f"write of the same {base['bytes_per_line']:.0f} bytes in {base['writes_per_line']:.0f} calls: {us(base):.2f} µs", f"{us(none) / us(base):.1f}×"),
    ("P1 chat line, 99 rules, all match (wine)", f"{us(every):.2f} µs", f"{us(base):.2f} µs", f"{us(every) / us(base):.1f}×"),
]
for kind, label in (("Ascii", "ASCII"), ("Japanese", "Japanese")):
    host = pick(irc, f"BM_HostLine_{kind}")
    rows.append((f"host per received chat line, {label} ({host['wire_bytes']:.0f} bytes; wine)", f"{us(host):.2f} µs",
                 f"the plug-in's OnChatMessage (P1, none match): {us(none):.2f} µs", f"1/{us(none) / us(host):.0f}"))
relay = latency["relay"]
rows.append((f"end to end, peer's send to the log record, zelkor.exe under wine ({latency['count']} lines)",
             f"median {latency['median_ms']:.2f} ms, p99 {latency['p99_ms']:.2f} ms",
             f"the server relaying to a bare client: median {relay['median_ms']:.2f} ms, p99 {relay['p99_ms']:.2f} ms",
             f"+{latency['median_ms'] - relay['median_ms']:.2f} ms (median)"))
import glob
for size in sorted({int(n.split("-")[1]) for n in glob.glob("eventlist-*-*.json")}):
    listed = pick(load(f"eventlist-{size}-BM_EventListAppend.json"), f"BM_EventListAppend/{size}/")
    vector = pick(load(f"eventlist-{size}-BM_Baseline_VectorOfStrings.json"), f"BM_Baseline_VectorOfStrings/{size}/")
    rows.append((f"P3 {int(size):,} rows in the event list (wine)",
                 f"{us(listed) / 1e3:.0f} ms, {listed['resident_MB']:.0f} MB ({listed['bytes_per_row']:.0f} B/row)",
                 f"vector of 3 strings per row: {us(vector) / 1e3:.0f} ms, {vector['bytes_per_row']:.0f} B/row",
                 f"{us(listed) / us(vector):.1f}×"))
print("| figure | measured | baseline (same run) | ratio |")
print("|---|---|---|---|")
for row in rows:
    print("| " + " | ".join(row) + " |")
PY
  exit 0
fi

scripts/install-packages.sh bench

build="${PELLIX_BENCH_BUILD:-build/bench}"
cmake -S . -B "${build}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLIX_BUILD_BENCH=ON -DPELLIX_BUILD_TESTS=OFF >/dev/null
cmake --build "${build}" --target bench_chat bench_startup bench_eventlist bench_shutdown bench_irc zelkor -j2 >/dev/null

out="${build}/results"
mkdir -p "${out}"
root="${PWD}"
# The log files go to the sessions' temporary homes; run from a scratch folder all the same.
cd "${out}"
bin="../bin"
"${bin}/bench_chat" --benchmark_format=json >chat.json 2>/dev/null
"${bin}/bench_startup" --benchmark_format=json >startup.json 2>/dev/null
"${bin}/bench_shutdown" --benchmark_format=json >shutdown.json 2>/dev/null
"${bin}/bench_irc" --benchmark_format=json >irc.json 2>/dev/null
# zelkor on a live channel of a local ngircd, end to end (bench/live_latency.py tells how).
python3 "${root}/bench/live_latency.py" --zelkor "${bin}/zelkor" ${PELLIX_LATENCY_LINES:+--lines "${PELLIX_LATENCY_LINES}"} >latency.json
# One size per process, so that memory freed by one size does not hide the growth of the next.
for size in 100000 1000000; do
  "${bin}/bench_eventlist" --benchmark_filter="/${size}/" --benchmark_format=json >"eventlist-${size}.json" 2>/dev/null
done

python3 - <<'PY'
import json

def load(name):
    with open(name) as f:
        return json.load(f)["benchmarks"]

def pick(rows, prefix, aggregate="median"):
    for row in rows:
        if row["name"].startswith(prefix) and row.get("aggregate_name", aggregate) == aggregate:
            return row
    raise SystemExit("missing result: " + prefix)

def us(row):
    scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[row["time_unit"]]
    return row["real_time"] * scale

chat = load("chat.json")
base = pick(chat, "BM_Baseline_WriteSameBytes")
none = pick(chat, "BM_ChatLine_NoRuleMatches")
every = pick(chat, "BM_ChatLine_AllRulesMatch")
start = load("startup.json")
startup = pick(start, "BM_StartToFirstEvent")
read = pick(start, "BM_Baseline_ReadBothIniFiles")
small = load("eventlist-100000.json")
large = load("eventlist-1000000.json")
list_large = pick(large, "BM_EventListAppend/1000000")
time_small = pick(small, "BM_EventListAppendTime/100000")
time_large = pick(large, "BM_EventListAppendTime/1000000")
vec_large = pick(large, "BM_Baseline_VectorOfStrings/1000000")
down = load("shutdown.json")
shutdown = pick(down, "BM_ShutdownWithLargeIni")
copy = pick(down, "BM_Baseline_ReadAndWriteTheIniOnce")
irc = load("irc.json")
host_ascii = pick(irc, "BM_HostLine_Ascii")
host_japanese = pick(irc, "BM_HostLine_Japanese")
with open("latency.json") as f:
    latency = json.load(f)
relay = latency["relay"]

def verdict(ok):
    return "met" if ok else "missed"

rows = [
    ("P1 chat line, 99 rules, none match", f"{us(none):.2f} µs", f"write(2) of the same {base['bytes_per_line']:.0f} bytes in {base['writes_per_line']:.0f} calls: {us(base):.2f} µs",
     f"{us(none) / us(base):.1f}×", "≤ 4×", verdict(us(none) <= 4 * us(base))),
    ("P1 chat line, 99 rules, all match (99 sends)", f"{us(every):.2f} µs", f"{us(base):.2f} µs",
     f"{us(every) / us(base):.1f}×", "≤ 8×", verdict(us(every) <= 8 * us(base))),
    ("P2 OnInitPlugin to the end of the first event", f"{us(startup):.0f} µs", f"reading both INI files: {us(read):.1f} µs",
     f"{us(startup) / us(read):.0f}×", "≤ 1 ms", verdict(us(startup) <= 1000)),
    ("P3 1,000,000 rows resident", f"{list_large['resident_MB']:.0f} MB ({list_large['bytes_per_row']:.0f} B/row)",
     f"vector of 3 strings per row: {vec_large['bytes_per_row']:.0f} B/row", f"{list_large['bytes_per_row'] / vec_large['bytes_per_row']:.1f}×",
     "≤ 200 MB", verdict(list_large["resident_MB"] <= 200)),
    ("P3 append 1M rows vs 100k rows (median of 5)", f"{us(time_large) / 1e3:.0f} ms vs {us(time_small) / 1e3:.0f} ms", "the 100k run",
     f"{us(time_large) / us(time_small):.1f}×", "≤ 11×", verdict(us(time_large) <= 11 * us(time_small))),
    ("P5 shutdown with a %.1f MB Pellix.ini" % shutdown["ini_MB"], f"{us(shutdown) / 1e3:.0f} ms",
     f"reading and writing that file once: {us(copy) / 1e3:.0f} ms", f"{us(shutdown) / us(copy):.1f}×", "≤ 2 s",
     verdict(us(shutdown) <= 2e6)),
]
for host, label in ((host_ascii, "ASCII"), (host_japanese, "Japanese")):
    rows.append((f"host per received chat line, {label} ({host['wire_bytes']:.0f} bytes)", f"{us(host):.2f} µs",
                 f"the plug-in's OnChatMessage (P1, none match): {us(none):.2f} µs", f"1/{us(none) / us(host):.0f}",
                 "< 1×", verdict(us(host) < us(none))))
rows.append((f"end to end, peer's send to the log record ({latency['count']} lines)",
             f"median {latency['median_ms']:.2f} ms, p99 {latency['p99_ms']:.2f} ms",
             f"the server relaying to a bare client: median {relay['median_ms']:.2f} ms, p99 {relay['p99_ms']:.2f} ms",
             f"+{latency['median_ms'] - relay['median_ms']:.2f} ms (median)", "reported", ""))
print("| figure | measured | baseline (same run) | ratio | goal | |")
print("|---|---|---|---|---|---|")
for row in rows:
    print("| " + " | ".join(row) + " |")
PY

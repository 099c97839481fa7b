#!/usr/bin/env bash
# Builds the libFuzzer targets (clang 14, AddressSanitizer and UndefinedBehaviorSanitizer, in
# build-fuzz/) and runs each for SECONDS (default 600) over a working copy of its seed corpus in
# fuzz/corpus/. An input that takes over 1 s, leaks, crashes or trips a sanitizer fails the run;
# the input is kept under build-fuzz/findings/<target>/. Optional further arguments name the
# targets to run (e.g. "obj level"); by default all of them.
# FUZZ_JOBS=N runs N targets side by side (default 1); FUZZ_SEED=S fixes libFuzzer's random seed,
# so a run repeats its inputs (CI does). FUZZ_SEED="1 7 23" runs each target once per seed, one
# after the other, for SECONDS each, over the corpus the earlier runs grew.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
shift || true
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  targets=(definition_reader shader_definition obj mtl material_definition animation_definition
           input_script picture sound level)
fi
jobs="$(nproc 2>/dev/null || echo 2)"
export ALSOFT_CONF="${ALSOFT_CONF:-$PWD/scripts/openal-null.conf}"
# Mesa and X keep allocations for the whole process (the level target draws); those libraries,
# and only those, are kept out of the leak reports.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1"

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMOSSFANG_FUZZ=ON -DMOSSFANG_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j "$jobs" --target "${targets[@]/#/fuzz_}"

run_with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$@"
  fi
}

parallel="${FUZZ_JOBS:-1}"
read -r -a seeds <<<"${FUZZ_SEED//,/ }"
if [ "${#seeds[@]}" -eq 0 ]; then seeds=(""); fi
results="$(mktemp -d)"
trap 'rm -rf "$results"' EXIT

# Mesa unloads its software renderer when the level target's display closes, before the leak check
# at exit; the renderer's allocations then come from no known module, which no suppression can
# name. Loaded up front, the library stays, and scripts/lsan.supp names it.
renderer_preload=()
for driver in /usr/lib/*/dri/swrast_dri.so; do
  if [ -f "$driver" ]; then renderer_preload=(env LD_PRELOAD="$driver"); fi
done

# The CPU seconds the target takes over the input file $1 alone (start-up included).
cpu_seconds() {
  local times
  times="$(mktemp)"
  /usr/bin/time -f "%U %S" -o "$times" "${runner[@]}" "${cmd[@]}" -timeout=60 -runs=1 "$1" \
    >"$findings/recheck.txt" 2>&1 || true
  awk 'NR == 1 { print $1 + $2 }' "$times"
  rm -f "$times"
}

# Whether the input in $1 runs within the 1 s limit on its own. libFuzzer's limit is wall-clock
# time, which a busy machine (or nice 19) stretches; CPU time is not, so the input's CPU time less
# that of an empty input (the target's start-up) is what counts, in the better of two tries.
runs_in_time() {
  local empty base try
  empty="$(mktemp)"
  base="$(cpu_seconds "$empty")"
  rm -f "$empty"
  for try in 1 2; do
    if awk -v t="$(cpu_seconds "$1")" -v b="$base" 'BEGIN { exit !(t - b < 1.0) }'; then
      return 0
    fi
  done
  return 1
}

# Runs one target once per seed; its report goes to $results/NAME.txt, and $results/NAME.failed
# marks a finding (the runs stop at the first).
fuzz_target() {
  local name="$1" seed
  for seed in "${seeds[@]}"; do
    fuzz_run "$name" "$seed"
    if [ -e "$results/$name.failed" ]; then break; fi
  done
}

# One run of a target with one seed (empty: libFuzzer picks one).
fuzz_run() {
  local name="$1" seed="$2"
  local work="build-fuzz/corpus/$name"
  local findings="build-fuzz/findings/$name"
  mkdir -p "$work" "$findings"
  cp -n "fuzz/corpus/$name"/* "$work"/ 2>/dev/null || true
  local seed_option=()
  if [ -n "$seed" ]; then seed_option=(-seed="$seed"); fi
  echo "== fuzz_$name for ${seconds} s${seed:+, seed $seed}"
  local start=$SECONDS
  local runner=()
  if [ "$name" = level ]; then runner=(run_with_display "${renderer_preload[@]}"); fi
  # Leak checks need the process's end, which libFuzzer reaches after every run; the per-input
  # timeout is the hang limit; the memory limit catches inputs that make a loader allocate wildly.
  local cmd=("build-fuzz/fuzz/fuzz_$name" -timeout=1 -detect_leaks=1 -rss_limit_mb=2048
             -max_len=65536 -print_final_stats=1 "${seed_option[@]}" -artifact_prefix="$findings/")
  # libFuzzer stops at the first input over the time limit, and its limit is wall-clock time: on
  # a busy machine (or at nice 19) an ordinary input can miss it. A timeout counts as a hang only
  # when its input also takes over 1 s of CPU alone (runs_in_time); otherwise the run goes on over
  # the grown corpus for the time that is left.
  local status=0 executed=0 resumed=0 left segment slow
  while :; do
    left=$((start + seconds - SECONDS))
    if [ "$left" -le 0 ]; then break; fi
    status=0
    "${runner[@]}" "${cmd[@]}" -max_total_time="$left" "$work" >"$findings/log.txt" 2>&1 || status=$?
    segment="$(sed -n 's/^stat::number_of_executed_units: *//p' "$findings/log.txt" | tail -1)"
    executed=$((executed + ${segment:-0}))
    if [ "$status" -eq 0 ] || ! grep -q "ERROR: libFuzzer: timeout" "$findings/log.txt"; then break; fi
    slow="$(grep -o "Test unit written to .*timeout-[0-9a-f]*" "$findings/log.txt" | tail -1)"
    slow="${slow#Test unit written to }"
    if [ -z "$slow" ] || ! runs_in_time "$slow" || [ "$resumed" -ge 30 ]; then break; fi
    echo "   a timeout at $((SECONDS - start)) s; its input runs within 1 s alone (machine load): going on"
    rm -f "$slow"
    status=0
    resumed=$((resumed + 1))
  done
  echo "   $((SECONDS - start)) s, $executed executions, exit status $status, resumed $resumed times"
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$findings/log.txt"
    touch "$results/$name.failed"
  fi
}

# Targets run side by side, each printing its report in one piece when it ends.
running=0
for name in "${targets[@]}"; do
  if [ "$running" -ge "$parallel" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  (fuzz_target "$name" >"$results/$name.txt" 2>&1; cat "$results/$name.txt") &
  running=$((running + 1))
done
wait
failed=()
for name in "${targets[@]}"; do
  if [ -e "$results/$name.failed" ]; then failed+=("$name"); fi
done
if [ "${#failed[@]}" -gt 0 ]; then
  echo "Fuzz targets with findings: ${failed[*]} (inputs under build-fuzz/findings/)"
  exit 1
fi
echo "All fuzz targets ran clean."

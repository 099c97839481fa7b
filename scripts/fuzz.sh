#!/usr/bin/env bash
# Builds the libFuzzer targets (clang 14, AddressSanitizer and UndefinedBehaviorSanitizer, in
# build-fuzz/) and runs each for SECONDS (default 600) over a working copy of its seed corpus in
# fuzz/corpus/. An input that takes over 1 s, leaks, crashes or trips a sanitizer fails the run;
# the input is kept under build-fuzz/findings/<target>/. Optional further arguments name the
# targets to run (e.g. "obj level"); by default all of them.
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

failed=()
for name in "${targets[@]}"; do
  work="build-fuzz/corpus/$name"
  findings="build-fuzz/findings/$name"
  mkdir -p "$work" "$findings"
  cp -n "fuzz/corpus/$name"/* "$work"/ 2>/dev/null || true
  echo "== fuzz_$name for ${seconds} s"
  start=$SECONDS
  # Leak checks need the process's end, which libFuzzer reaches after every run; the per-input
  # timeout is the hang limit; the memory limit catches inputs that make a loader allocate wildly.
  cmd=("build-fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=1 -detect_leaks=1
       -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1
       -artifact_prefix="$findings/" "$work")
  status=0
  if [ "$name" = level ]; then
    # llvmpipe's compiled shaders allocate from code in no module, which no suppression can
    # name; the check at exit would charge that to the last input. libFuzzer's leak check of each
    # input stays on.
    LSAN_OPTIONS="$LSAN_OPTIONS:leak_check_at_exit=0" \
      run_with_display "${cmd[@]}" >"$findings/log.txt" 2>&1 || status=$?
  else
    "${cmd[@]}" >"$findings/log.txt" 2>&1 || status=$?
  fi
  grep -E "^stat::number_of_executed_units|^#[0-9]+ *DONE" "$findings/log.txt" | tail -2 || true
  echo "   $((SECONDS - start)) s, exit status $status"
  # On a busy machine an ordinary input can miss the 1 s limit. A timeout counts as a hang only
  # when its input also takes over 1 s run on its own.
  if [ "$status" -ne 0 ] && grep -q "ERROR: libFuzzer: timeout" "$findings/log.txt"; then
    slow="$(grep -o "Test unit written to .*timeout-[0-9a-f]*" "$findings/log.txt" | tail -1)"
    slow="${slow#Test unit written to }"
    runner=()
    if [ "$name" = level ]; then runner=(run_with_display); fi
    if [ -n "$slow" ] && "${runner[@]}" "${cmd[0]}" -timeout=1 -runs=1 "$slow" >"$findings/recheck.txt" 2>&1; then
      echo "   the timed-out input runs within 1 s on its own: not a hang ($slow)"
      status=0
    fi
  fi
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$findings/log.txt"
    failed+=("$name")
  fi
done
if [ "${#failed[@]}" -gt 0 ]; then
  echo "Fuzz targets with findings: ${failed[*]} (inputs under build-fuzz/findings/)"
  exit 1
fi
echo "All fuzz targets ran clean."

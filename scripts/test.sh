#!/usr/bin/env bash
# Sets everything up and runs the test suite, printing how long each phase took.
#
# scripts/test.sh           the suite CI runs:
#   build            scripts/setup.sh test (packages, then the normal build in build/)
#   tests            every test program (the OpenGL ones under Xvfb when there is no display)
#   sanitizers       the engine core, parser and loader tests again under AddressSanitizer and
#                    UndefinedBehaviorSanitizer (build-asan/)
#
# scripts/test.sh --full    adds the long reliability phases:
#   sanitizer build  clang 14 with AddressSanitizer, UndefinedBehaviorSanitizer and libFuzzer's
#                    instrumentation, in build-fuzz/: every test program and the fuzz targets
#   sanitized suite  every test program again from that build, leak checking on
#   fuzz             each fuzz target for 30 s over its seed corpus
#   missing assets   a handful of assets removed in turn from a copy, each with a scripted minute
#   soak             50 door transitions with the resident memory and live object counts checked
set -euo pipefail
cd "$(dirname "$0")/.."

full=0
case "${1:-}" in
  "") ;;
  --full) full=1 ;;
  *) echo "usage: scripts/test.sh [--full]" >&2; exit 2 ;;
esac

jobs="$(nproc 2>/dev/null || echo 2)"
export ALSOFT_CONF="${ALSOFT_CONF:-$PWD/scripts/openal-null.conf}"

run_with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$@"
  fi
}

timings=()
phase() {
  local name="$1"
  shift
  echo "== $name"
  local start=$SECONDS
  "$@"
  local took=$((SECONDS - start))
  echo "-- $name took ${took} s"
  timings+=("$(printf '%-16s %5d s' "$name" "$took")")
}

test_suite() {
  # A test that fails is run once more before it counts: under Xvfb a process now and then
  # cannot open the display at all, which says nothing about our code. A real fault fails twice.
  run_with_display ctest --test-dir build --output-on-failure -j "$jobs" --repeat until-pass:2
}

# The engine core (the world's lifetime rules are where a freed component would be touched),
# the parsers and the loaders, under GCC's AddressSanitizer and UndefinedBehaviorSanitizer.
core_sanitizers() {
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMOSSFANG_SANITIZE=ON \
    -DMOSSFANG_BUILD_BENCH=OFF >/dev/null
  local targets=(engine_tests parsing_tests rendering_tests)
  cmake --build build-asan -j "$jobs" --target "${targets[@]}"
  for t in "${targets[@]}"; do
    run_with_display "build-asan/tests/$t" --gtest_brief=1
  done
}

sanitizer_build() {
  local launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMOSSFANG_FUZZ=ON -DMOSSFANG_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
  cmake --build build-fuzz -j "$jobs"
}

# Each test program runs whole in one process, so leaks are checked once per program. Leaks
# inside Mesa and X (outside our code) are suppressed by scripts/lsan.supp.
sanitized_suite() {
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  local failed=()
  for program in build-fuzz/tests/*_tests; do
    [ -x "$program" ] || continue
    echo "-- $program"
    if ! run_with_display "$program" --gtest_brief=1; then
      failed+=("$program")
    fi
  done
  unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS
  if [ "${#failed[@]}" -gt 0 ]; then
    echo "Failed under the sanitizers: ${failed[*]}"
    return 1
  fi
}

phase "build" scripts/setup.sh test
phase "tests" test_suite
phase "sanitizers" core_sanitizers
if [ "$full" -eq 1 ]; then
  phase "sanitizer build" sanitizer_build
  phase "sanitized suite" sanitized_suite
  phase "fuzz" scripts/fuzz.sh 30
  phase "missing assets" scripts/missing_assets.sh --short
  phase "soak" scripts/soak.sh --transitions 50
fi

echo "== Phase times"
printf '%s\n' "${timings[@]}"
echo "All tests passed."

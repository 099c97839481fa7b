#!/usr/bin/env bash
# Sets everything up and runs the test suite, printing how long each phase took.
#
# scripts/test.sh            the whole suite, as CI runs it (.ci/run):
#   build            scripts/setup.sh test (packages, then the normal build in build/)
#   tests            every test program (ctest; the OpenGL ones need a display, below)
#   sanitizer build  clang 14 with AddressSanitizer, UndefinedBehaviorSanitizer and libFuzzer's
#                    instrumentation, in build-fuzz/: every test program and the fuzz targets
#   sanitized suite  every test program again from that build, leak checking on
#   fuzz             each fuzz target for 30 s over its seed corpus, two side by side
#   missing assets   a handful of assets removed in turn from a copy, each with a scripted run
#                    (every frame updated, only the last drawn)
#   soak             50 door transitions with the resident memory and live object counts checked
#                    (the same)
#
# scripts/test.sh --full     adds the same two with every frame drawn (about 20 minutes more here
#                            on llvmpipe, which would take CI past its 40-minute budget).
#
# scripts/test.sh --quick    the first two phases only: the check to run before a commit.
#
# Without a display one Xvfb server is started for the whole run (every phase draws through it)
# and stopped at the end; starting a server per program was the commonest failure of CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."

quick=0
full=0
case "${1:-}" in
  "") ;;
  --full) full=1 ;;
  --quick) quick=1 ;;
  *) echo "usage: scripts/test.sh [--quick | --full]" >&2; exit 2 ;;
esac

jobs="$(nproc 2>/dev/null || echo 2)"
export ALSOFT_CONF="${ALSOFT_CONF:-$PWD/scripts/openal-null.conf}"

xvfb_pid=""
stop_display() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap stop_display EXIT

# Starts Xvfb on a display number it picks itself (-displayfd: no race with other servers on the
# machine) and waits until it accepts clients; three tries.
start_display() {
  local try number
  for try in 1 2 3; do
    number="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      if [ -s "$number" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
      sleep 0.1
    done
    if [ -s "$number" ]; then
      export DISPLAY=":$(tr -dc '0-9' <"$number")"
      rm -f "$number"
      echo "Xvfb on $DISPLAY"
      return 0
    fi
    rm -f "$number"
    stop_display
    xvfb_pid=""
    echo "Xvfb did not start (try $try)"
    sleep 2
  done
  return 1
}

timings=()
phase() {
  local name="$1"
  shift
  echo "== $name"
  local start=$SECONDS
  local status=0
  "$@" || status=$?
  local took=$((SECONDS - start))
  echo "-- $name took ${took} s"
  timings+=("$(printf '%-16s %5d s' "$name" "$took")")
  if [ "$status" -ne 0 ]; then
    printf '%s\n' "== Phase times (stopped: $name failed)" "${timings[@]}"
    exit "$status"
  fi
}

test_suite() {
  # A test that fails is run once more before it counts (a process that could not open the
  # display, a time limit missed on a busy machine); a real fault fails twice.
  ctest --test-dir build --output-on-failure -j "$jobs" --repeat until-pass:2
}

sanitizer_build() {
  CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMOSSFANG_FUZZ=ON -DMOSSFANG_BUILD_BENCH=OFF >/dev/null &&
    cmake --build build-fuzz -j "$jobs"
}

# Each test program runs whole in one process (a process per test would start the sanitizers'
# runtime 500 times), so leaks are checked once per program; two programs run side by side, the
# longest first. Leaks inside Mesa and X (outside our code) are suppressed by scripts/lsan.supp.
sanitized_suite() {
  local programs=()
  local name
  for name in game_gl_tests rendering_gl_tests components_gl_tests particles_gl_tests \
    assets_tests game_tests components_tests rendering_tests audio_tests physics_tests \
    particles_tests engine_tests parsing_tests; do
    if [ -x "build-fuzz/tests/$name" ]; then programs+=("build-fuzz/tests/$name"); fi
  done
  for name in build-fuzz/tests/*_tests; do # any program not named above
    if [ -x "$name" ] && [[ " ${programs[*]} " != *" $name "* ]] &&
      [ "$name" != build-fuzz/tests/engine_gl_tests ]; then programs+=("$name"); fi
  done
  printf '%s\n' "${programs[@]}" | xargs -P "$jobs" -n 1 scripts/sanitized_test.sh
  # The engine's GL program presses keys on the shared display: it runs alone.
  if [ -x build-fuzz/tests/engine_gl_tests ]; then
    scripts/sanitized_test.sh build-fuzz/tests/engine_gl_tests
  fi
}

fuzz_short() {
  FUZZ_JOBS="$jobs" FUZZ_SEED=1 scripts/fuzz.sh 30
}

phase "build" scripts/setup.sh test
if [ -z "${DISPLAY:-}" ]; then start_display; fi
phase "tests" test_suite
if [ "$quick" -eq 0 ]; then
  phase "sanitizer build" sanitizer_build
  phase "sanitized suite" sanitized_suite
  phase "fuzz" fuzz_short
  # Short forms with every frame updated and only the last drawn: each scene and its files, GL
  # and AL objects are still built and released; about 20 s each.
  phase "missing assets" scripts/missing_assets.sh --short --update-only
  phase "soak" scripts/soak.sh --transitions 50 --update-only
fi
if [ "$full" -eq 1 ]; then
  phase "missing, drawn" scripts/missing_assets.sh --short
  phase "soak, drawn" scripts/soak.sh --transitions 50
fi

echo "== Phase times"
printf '%s\n' "${timings[@]}"
echo "All tests passed."

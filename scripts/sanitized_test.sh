#!/usr/bin/env bash
# Runs one test program of the sanitizer build (build-fuzz/) with leak checking on, for the test
# command's sanitized phase: scripts/sanitized_test.sh PROGRAM [MINUTES]
# The program's output goes to build-fuzz/test-logs/<program>.log; one line says how it went, and
# the end of the log follows when it failed. A program that fails is given one more chance, as
# the normal suite gives each test: the tests that failed run again together (the whole program
# when it died before naming them). A real fault fails twice; a display that would not open
# or a machine too busy for a time limit does not. A sanitizer's report fails at once. MINUTES (default 20) bounds each run, since
# a hang under the sanitizers would otherwise hold CI until its own limit.
set -uo pipefail
cd "$(dirname "$0")/.."
program="$1"
minutes="${2:-20}"
name="$(basename "$program")"
mkdir -p build-fuzz/test-logs
log="build-fuzz/test-logs/$name.log"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Mesa unloads its software renderer when the display closes, before the leak check at exit; the
# renderer's own allocations then come from no known module and no suppression can name them.
# Loaded up front, the library stays, and scripts/lsan.supp names it.
if [[ "$name" == *_gl_tests ]]; then
  for driver in /usr/lib/*/dri/swrast_dri.so; do
    if [ -f "$driver" ]; then export LD_PRELOAD="$driver"; fi
  done
fi

run() { # log, arguments for the program
  local out="$1"
  shift
  timeout -k 30 "$((minutes * 60))" "$program" --gtest_brief=1 "$@" >"$out" 2>&1
}

# The OpenGL programs run one test suite per process: their tests share one process's GL state
# otherwise, and a suite that leaves it spent (the test framebuffer of every later suite in the
# game's program came out incomplete) would fail the rest for nothing of their own.
run_by_suite() { # log
  local out="$1" suite code=0
  : >"$out"
  for suite in $("$program" --gtest_list_tests 2>/dev/null | sed -n 's/^\([A-Za-z0-9_/]*\.\).*/\1/p'); do
    run "$out.part" --gtest_filter="$suite*" || code=$?
    cat "$out.part" >>"$out"
  done
  rm -f "$out.part"
  return "$code"
}

start=$SECONDS
status=0
if [[ "$name" == *_gl_tests ]]; then
  run_by_suite "$log" || status=$?
else
  run "$log" || status=$?
fi
if [ "$status" -eq 0 ]; then
  echo "   $name: passed ($((SECONDS - start)) s)"
  exit 0
fi

# A sanitizer's report is a fault whatever the machine did: no second chance.
if grep -q "ERROR: AddressSanitizer\|ERROR: LeakSanitizer\|runtime error:" "$log"; then
  echo "   $name: FAILED under the sanitizers (status $status); the end of $log:"
  tail -n 80 "$log" | sed 's/^/      /'
  exit 1
fi
# gtest names each failed test on a "[  FAILED  ]" line; none when the program died early.
failed="$(sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_./]*\).*/\1/p' "$log" | sort -u | paste -sd: -)"
retry=()
what="the whole program"
if [ -n "$failed" ]; then
  retry=(--gtest_filter="$failed")
  what="$failed"
fi
echo "   $name: failed with status $status ($((SECONDS - start)) s); again: $what"
again=0
run "$log.again" "${retry[@]}" || again=$?
if [ "$again" -eq 0 ]; then
  echo "   $name: passed the second time (first log: $log)"
  exit 0
fi
echo "   $name: FAILED twice (status $again); the end of $log.again:"
tail -n 60 "$log.again" | sed 's/^/      /'
exit 1

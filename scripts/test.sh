#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: every test program (the OpenGL ones under
# Xvfb when there is no display), then the engine core, loader and parser tests again under
# AddressSanitizer (the world's lifetime rules are where a freed component would be touched).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test

jobs="$(nproc 2>/dev/null || echo 2)"
export ALSOFT_CONF="${ALSOFT_CONF:-$PWD/scripts/openal-null.conf}"

run_with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$@"
  fi
}

echo "== Test suite"
run_with_display ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Engine core, parsers and loaders under AddressSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMOSSFANG_SANITIZE=ON \
  -DMOSSFANG_BUILD_BENCH=OFF >/dev/null
asan_targets=()
known_targets="$(cmake --build build-asan --target help)"
for t in engine_tests parsing_tests rendering_tests; do
  if grep -qx "\.\.\. $t" <<<"$known_targets"; then
    asan_targets+=("$t")
  fi
done
if [ "${#asan_targets[@]}" -gt 0 ]; then
  cmake --build build-asan -j "$jobs" --target "${asan_targets[@]}"
  for t in "${asan_targets[@]}"; do
    run_with_display "build-asan/tests/$t"
  done
fi
echo "All tests passed."

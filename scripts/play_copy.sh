# Sourced by the reliability scripts: prepares a play directory in which the game runs with its
# working directory holding "assets" (and "tests" for the test areas' doors), and helpers to run
# the game there. Expects $repo (the repository root) and sets $exe.

exe="${MOSSFANG_EXE:-$repo/build/src/game/mossfang}"
if [ ! -x "$exe" ]; then
  cmake -S "$repo" -B "$repo/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$repo/build" -j "$(nproc 2>/dev/null || echo 2)" --target mossfang
fi

# make_play_dir DIR MODE: MODE "copy" copies assets/ (so files can be removed), "link" links it.
# Without a starting area of the game's own, the menu's start leads to tests/game/levels/
# loopStart.txt, whose doors go round in a loop.
make_play_dir() {
  local dir="$1" mode="$2"
  mkdir -p "$dir"
  if [ "$mode" = copy ]; then
    cp -r "$repo/assets" "$dir/assets"
  else
    cp -rs "$repo/assets" "$dir/assets"
  fi
  ln -sfn "$repo/tests" "$dir/tests"
  if [ ! -e "$dir/assets/levels/startingArea.txt" ]; then
    mkdir -p "$dir/assets/levels"
    cp "$repo/tests/game/levels/loopStart.txt" "$dir/assets/levels/startingArea.txt"
  fi
}

run_with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$@"
  fi
}

# Sourced by the reliability scripts: prepares a play directory in which the game runs with its
# working directory holding "assets" (and "tests" for the test areas' doors), and helpers to run
# the game there. Expects $repo (the repository root) and sets $exe.

exe="${MOSSFANG_EXE:-$repo/build/src/game/mossfang}"
if [ ! -x "$exe" ]; then
  cmake -S "$repo" -B "$repo/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$repo/build" -j "$(nproc 2>/dev/null || echo 2)" --target mossfang
fi

# make_play_dir DIR MODE [loop]: MODE "copy" copies assets/ (so files can be removed), "link"
# links it. With "loop", the menu's start leads to tests/game/levels/loopStart.txt instead of the
# game's first area: its doors go round in a loop, so walking right goes through a door every
# couple of seconds (the game's own areas need jumps and climbs to reach theirs).
make_play_dir() {
  local dir="$1" mode="$2" start="${3:-}"
  mkdir -p "$dir"
  if [ "$mode" = copy ]; then
    cp -r "$repo/assets" "$dir/assets"
  else
    cp -rs "$repo/assets" "$dir/assets"
  fi
  ln -sfn "$repo/tests" "$dir/tests"
  if [ "$start" = loop ]; then
    rm -f "$dir/assets/levels/startingArea.txt"
    cp "$repo/tests/game/levels/loopStart.txt" "$dir/assets/levels/startingArea.txt"
  fi
  # The game looks for assets/ beside its executable first (build/ links the repository's), so
  # it runs from a copy (or hard link) placed beside this folder's assets.
  ln -f "$exe" "$dir/mossfang" 2>/dev/null || cp "$exe" "$dir/mossfang"
  exe="$dir/mossfang"
  # The player's own key bindings (~/.config/mossfang) must not change a scripted run, nor his
  # saved run (~/.local/share/mossfang) what the menu's Space starts; the doors' saves stay here.
  mkdir -p "$dir/config"
  export XDG_CONFIG_HOME="$dir/config"
  rm -rf "$dir/data"
  mkdir -p "$dir/data"
  export XDG_DATA_HOME="$dir/data"
}

run_with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$@"
  fi
}

#!/usr/bin/env bash
# Missing-asset sweep: in a copy of assets/, removes each file in turn and plays a scripted minute:
# the first minute of the recorded play-through (tests/game/playthrough/journey.txt: the menu,
# Space to start, the first area and out by its door at about frame 1220, the second area and its
# top door at about 2350, into the third). Each run must end without a crash, reach its last frame
# (the state dump says which) and print the message the game gives for that kind of file. Files
# the minute never opens (found with strace on a run with everything present) cannot change it
# and are listed without a run.
#   scripts/missing_assets.sh [--short | FILE...] [--frames N] [--update-only] [--table FILE.md]
# --short sweeps a handful of files of different kinds for 600 frames each (CI: the menu and the
# first area); FILE names are relative to assets/. --frames changes the length of each run
# (default 3600, a minute). --update-only has the game update every frame but draw only the last
# one, as fast as llvmpipe allows for the full sweep: every file is still opened when its scene is
# built, and the last frame still draws with whatever is missing.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
export ALSOFT_CONF="${ALSOFT_CONF:-$repo/scripts/openal-null.conf}"
# shellcheck source=scripts/play_copy.sh
. "$repo/scripts/play_copy.sh"

files=()
table=""
frames=3600
draw=()
while [ $# -gt 0 ]; do
  case "$1" in
    --short)
      files=(menu.png shaders/lighting.glsl models/ninja.bin sounds/SoundEffects/ninjaJump0.wav)
      frames=600
      shift ;;
    --frames) frames="$2"; shift 2 ;;
    --table) table="$2"; shift 2 ;;
    --update-only) draw=(--update-only); shift ;;
    *) files+=("$1"); shift ;;
  esac
done

play="$(mktemp -d)"
trap 'rm -rf "$play"' EXIT
make_play_dir "$play" copy
if [ "${#files[@]}" -eq 0 ]; then
  # Kinds take turns (the first file of each folder, then the second, ...), so a sweep stopped
  # early has still tried every kind of file.
  mapfile -t files < <(cd "$play/assets" && find . -type f | sed 's|^\./||' | sort \
    | awk -F/ '{ k = NF > 1 ? $1 : "."; printf "%05d %s\n", ++n[k], $0 }' | sort | cut -d' ' -f2-)
fi
cp "$repo/tests/game/playthrough/journey.txt" "$play/minute.txt"

play_minute() { # log, dump
  (cd "$play" && run_with_display "$exe" --frames "$frames" --fixed-dt 0.0166667 --seed 1 \
    "${draw[@]}" --input minute.txt --dump-state "$2") >"$1" 2>&1
}

# Which files a full minute opens.
echo "sweep: reference run with every file present"
opened="$play/opened.txt"
# Every file is opened when its scene is built, so this run need not draw but its last frame.
(cd "$play" && run_with_display strace -f -qq -e trace=openat -e signal=none -o "$play/trace" \
  "$exe" --frames "$frames" --fixed-dt 0.0166667 --seed 1 --update-only --input minute.txt \
  --dump-state "$play/ref.json") >"$play/ref.log" 2>&1
# The game opens its files under the asset root beside its executable, by absolute paths.
{ grep -o '"[^"]*assets/[^"]*"' "$play/trace" || true; } | tr -d '"' | sed -E 's|^.*assets/+||' \
  | sort -u >"$opened"
if [ ! -s "$opened" ]; then
  echo "sweep: the reference run opened no asset (exit status of the game in $play/ref.log):"
  tail -n 20 "$play/ref.log"
  exit 1
fi
reference_scenes="$(grep -o '"scene": *"[^"]*"' "$play/ref.json" || true)"
echo "sweep: the minute opens $(wc -l <"$opened") files and ends in ${reference_scenes:-?}"

# The message the game prints when FILE (relative to assets/) is missing, as an extended regex;
# empty where the game reports nothing for that kind of file.
expected_message() {
  local f="$1" path="assets/+$1"
  case "$f" in
    *.png|*.jpg) echo "Failed to load texture .*$path" ;;
    shaders/*.glsl) echo "Could not include \"[^\"]*${f#shaders/}\"" ;;
    shaders/*.txt|models/*Animations.txt) echo "$path: Parsing error" ;;
    shaders/*) echo "Errors (compiling|linking)" ;;
    models/*.gltf|models/*.bin) echo "Error parsing" ;;
    sounds/*) echo "could not load .*$path" ;;
    levels/*) echo "Error loading level" ;;
    *) echo "" ;;
  esac
}

rows=()
failures=0
header="| file | in the minute | exit | last frame | message | result |
|---|---|---|---|---|---|"
# The table grows row by row, so a long sweep stopped early keeps what it found.
if [ -n "$table" ]; then printf '%s\n' "$header" >"$table"; fi
add_row() {
  rows+=("$1")
  if [ -n "$table" ]; then printf '%s\n' "$1" >>"$table"; fi
}
for f in "${files[@]}"; do
  if [ ! -f "$play/assets/$f" ]; then
    echo "sweep: no such file: $f"
    failures=$((failures + 1))
    continue
  fi
  want="$(expected_message "$f")"
  if ! grep -qxF "$f" "$opened"; then
    add_row "| $f | not opened in the minute | - | - | - | skipped |"
    continue
  fi
  mv "$play/assets/$f" "$play/removed"
  rm -f "$play/dump.json"
  status=0
  play_minute "$play/run.log" "$play/dump.json" || status=$?
  mv "$play/removed" "$play/assets/$f"
  last="$(grep -o '"frame": *[0-9]*' "$play/dump.json" 2>/dev/null | grep -o '[0-9]*$' || echo none)"
  if [ -z "$want" ]; then
    message="none expected"
    message_ok=yes
  elif grep -Eq "$want" "$play/run.log"; then
    message="$(grep -Em1 "$want" "$play/run.log" | cut -c1-90 | sed 's/|/\\|/g')"
    message_ok=yes
  else
    message="MISSING: /$want/"
    message_ok=no
  fi
  verdict=pass
  if [ "$status" -ne 0 ] || [ "$last" != "$((frames - 1))" ] || [ "$message_ok" != yes ]; then
    verdict=FAIL
    failures=$((failures + 1))
    tail -n 5 "$play/run.log" | sed 's/^/    /'
  fi
  echo "sweep: $f: exit $status, last frame $last, $verdict"
  add_row "| $f | opened | $status | $last | $message | $verdict |"
done

report="$header
$(printf '%s\n' "${rows[@]}")"
if [ -n "$table" ]; then echo "sweep: table written to $table"; fi
echo "$report"
if [ "$failures" -gt 0 ]; then
  echo "sweep: $failures failures"
  exit 1
fi
echo "sweep: every removed file was survived"

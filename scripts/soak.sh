#!/usr/bin/env bash
# Soak run: plays MINUTES of game time (60 frames a second at a fixed step, default 30) of seeded
# random input from the menu through the areas: doors in a loop, jumps, attacks, and now and then
# out through the pause to the menu and Space to continue the saved run. The game logs its resident memory and its live
# OpenGL and OpenAL objects at every scene change (--resource-log); the run passes when memory
# stays flat within 5 % after the first 50 door transitions and no object count grows.
#   scripts/soak.sh [MINUTES] [--transitions N] [--seed S] [--update-only] [--out DIR]
# --transitions N runs just long enough for N door transitions (CI's short form uses 50).
# --update-only has the game update every frame but draw only the last one: llvmpipe draws a few
# frames a second, which would make the long form (1,000 transitions) take many hours. Scenes and
# their GL and AL objects are still built and destroyed at every door.
# Results (log, input, plot soak.png, summary) go to DIR (default build/soak).
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
minutes=30
transitions=0
seed=1
draw=()
out="$repo/build/soak"
while [ $# -gt 0 ]; do
  case "$1" in
    --transitions) transitions="$2"; shift 2 ;;
    --seed) seed="$2"; shift 2 ;;
    --update-only) draw=(--update-only); shift ;;
    --out) out="$2"; shift 2 ;;
    *) minutes="$1"; shift ;;
  esac
done
export ALSOFT_CONF="${ALSOFT_CONF:-$repo/scripts/openal-null.conf}"
# shellcheck source=scripts/play_copy.sh
. "$repo/scripts/play_copy.sh"

# Walking right, the loop of two areas takes about this many frames per door (measured), so a
# run for N transitions plays N times this with a margin for jumps, attacks and menu visits.
frames_per_door=40
if [ "$transitions" -gt 0 ]; then
  frames=$((transitions * frames_per_door * 3 / 2 + 600))
else
  frames=$((minutes * 3600))
fi

mkdir -p "$out"
play="$(mktemp -d)"
trap 'rm -rf "$play"' EXIT
make_play_dir "$play" link
# Two areas whose doors lead to each other, each door on the platform the ninja walks along, so
# walking right goes through a door every second or so. Doors stacked above and below catch a
# ninja who jumps over the first or falls past the platform's end (the test areas' far door stood
# beyond their platform, and a badly timed jump missed it for good).
doors() { # target, entrance
  local y
  for y in 10 22 34; do echo "    exit [ [22 $y 0] [0 0 0] [1 1 1] \"$1\" \"$2\" ]"; done
  for y in -4 -16 -28; do echo "    exit [ [34 $y 0] [0 0 0] [1 1 1] \"$1\" \"$2\" ]"; done
}
rm -f "$play/assets/levels/startingArea.txt"
cat >"$play/assets/levels/startingArea.txt" <<LEVEL
[
    flatPlat3 [ [0 0 0] [0 0 0] [1 1 1] ]
    player [ [0 10 0] [0 0 0] [1 1 1] ]
    entrance [ [0 10 0] [0 0 0] [1 1 1] "fromLoop" ]
    shiny [ [-4 10 0] [0 0 0] [1 1 1] ]
$(doors soakLoop.txt fromStart)
]
LEVEL
cat >"$play/assets/levels/soakLoop.txt" <<LEVEL
[
    flatPlat3 [ [0 0 0] [0 0 0] [1 1 1] ]
    entrance [ [0 10 0] [0 0 0] [1 1 1] "fromStart" ]
    candyCorn [ [6 14 0] [0 0 0] [1 1 1] ]
$(doors startingArea.txt fromLoop)
]
LEVEL
/usr/bin/python3 "$repo/scripts/soak_input.py" "$frames" "$seed" >"$out/input.txt"

echo "soak: $frames frames, seed $seed"
start=$SECONDS
status=0
(cd "$play" && run_with_display "$exe" --frames "$frames" --fixed-dt 0.0166667 --seed "$seed" \
  "${draw[@]}" --input "$out/input.txt" --resource-log "$out/resources.tsv") >"$out/game.log" 2>&1 || status=$?
echo "soak: the game ran $((SECONDS - start)) s and exited with status $status"
if [ "$status" -ne 0 ]; then
  tail -n 20 "$out/game.log"
  exit 1
fi
warmup=50
# A short run's warm-up is its first half, which holds the first two menu visits.
if [ "$transitions" -gt 0 ] && [ "$transitions" -lt 100 ]; then warmup=$((transitions / 2)); fi
/usr/bin/python3 "$repo/scripts/soak_report.py" "$out/resources.tsv" --plot "$out/soak.png" \
  --warmup "$warmup" --min-transitions "$transitions" | tee "$out/summary.txt"
exit "${PIPESTATUS[0]}"

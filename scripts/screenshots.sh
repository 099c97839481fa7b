#!/usr/bin/env bash
# Regenerates the pictures in docs/screenshots: the menu, the controls and settings screens, the
# pause, the summary at the end of the journey, every credits page, each area's start and a busy
# spot on the recorded play-through, each area's overview, and the wasp, the spider and the moving
# leaves in action on their test level.
# Needs a built game (build/src/game/mossfang); runs under Xvfb when there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."
game="${MOSSFANG:-build/src/game/mossfang}"
out=docs/screenshots
mkdir -p "$out"
export ALSOFT_CONF="${ALSOFT_CONF:-$PWD/scripts/openal-null.conf}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
# The player's own settings, saved run and best time stay out of the pictures: the menu offers
# Start, the summary's best time is new.
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"

run() {
  if [ -n "${DISPLAY:-}" ]; then
    "$game" --fixed-dt 0.0166667 "$@" >/dev/null
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$game" --fixed-dt 0.0166667 "$@" >/dev/null
  fi
}

# Menu, controls screen, credits pages.
run --frames 3 --screenshot "$out/menu.png"
# The menu's buttons, by their centres: Start, Settings, Controls, Credits, Quit.
echo "3 click 400 345 left" >"$scratch/controls.txt"
run --frames 8 --input "$scratch/controls.txt" --screenshot "$out/controls.png"
echo "3 click 400 277 left" >"$scratch/settings.txt"
run --frames 8 --input "$scratch/settings.txt" --screenshot "$out/settings.png"
for page in 0 1 2 3 4 5; do
  {
    echo "3 click 400 413 left"
    for ((p = 0; p < page; ++p)); do echo "$((10 + 5 * p)) hold Space"; done
  } >"$scratch/credits.txt"
  run --frames $((14 + 5 * page)) --input "$scratch/credits.txt" \
    --screenshot "$out/credits$page.png"
done

# Each area where the ninja comes in, and its overview.
for entry in startingArea: simpleArea:simpleBottomDoor prototypeLevel:start; do
  area="${entry%%:*}"
  entrance="${entry#*:}"
  run --area "$area.txt" --entrance "$entrance" --frames 30 --update-only \
    --screenshot "$out/${area}_start.png"
  run --area "$area.txt" --entrance "$entrance" --overview "$out/${area}_overview.png"
done

# The pause in the clearing, a few steps in.
printf '0-40 hold Right\n40 hold Escape\n' >"$scratch/pause.txt"
run --area startingArea.txt --frames 50 --input "$scratch/pause.txt" --screenshot "$out/pause.png"
# A door and the prompt naming the area behind it: the bramble hollow's way back, walked up to.
echo "0-40 hold Left" >"$scratch/door.txt"
run --area trickyArea.txt --entrance trickyLeftDoor --upgrades doubleJump --input "$scratch/door.txt" \
  --frames 75 --update-only --screenshot "$out/door.png"
# The summary after the recorded play-through's hat.
run --input tests/game/playthrough/journey.txt --frames 26850 --update-only \
  --screenshot "$out/summary.png"

# The clearing's busy spot on its recorded segment: landing on the block by the ant that guards
# an egg, punching.
run --area startingArea.txt --input tests/game/playthrough/segments/startingArea.txt --frames 1560 \
  --update-only --screenshot "$out/startingArea_busy.png"
# The clover steps' busy spot on its recorded segment: punching the ant on the log below the top
# door's ledge.
run --area simpleArea.txt --entrance simpleBottomDoor \
  --input tests/game/playthrough/segments/simpleArea.txt --frames 2630 --update-only \
  --screenshot "$out/simpleArea_busy.png"
# The new areas: where the ninja comes in, the overview, and a busy spot on each area's recorded
# segment (tests/game/playthrough/segments/; area:entrance:upgrades:frame): punching the ant on
# the island off the last ferry, jumping off the ferry past the circling wasp over the hollow's
# ant, the bramble hollow's bridge with its ant as the boulder rolls below, the cellar's spiders,
# the ember hollow's swords swung at an ant coming the other way, and the canopy's wasps.
for entry in leafStream:streamLeftDoor::3030 waspMeadow:meadowLeftDoor:doubleJump:1230 \
  trickyArea:trickyLeftDoor:doubleJump:1170 spiderCellar:cellarLeftDoor:doubleJump:3100 \
  swordArea:swordLeftDoor:doubleJump:1252 canopy:canopyLeftDoor:doubleJump,sword:745; do
  IFS=: read -r area entrance upgrades frame <<<"$entry"
  extra=()
  if [ -n "$upgrades" ]; then extra=(--upgrades "$upgrades"); fi
  run --area "$area.txt" --entrance "$entrance" "${extra[@]}" --frames 30 --update-only \
    --screenshot "$out/${area}_start.png"
  run --area "$area.txt" --entrance "$entrance" --overview "$out/${area}_overview.png"
  run --area "$area.txt" --entrance "$entrance" "${extra[@]}" \
    --input "tests/game/playthrough/segments/$area.txt" --frames "$frame" --update-only \
    --screenshot "$out/${area}_busy.png"
done
# The longer journey's pieces in action on their test level: riding the moving leaf over the first
# gap, stung by the wasp in a jump, the spider dropped on him, the sinking leaf gone down under him.
cat >"$scratch/pieces.txt" <<'KEYS'
0-110 hold Right
44 hold Space
360-765 hold Right
405 hold Space
700 hold Space
712 hold Space
724 hold Space
KEYS
for shot in leaf:135 wasp:452 spider:652 sinkingLeaf:880; do
  run --area tests/game/levels/pieces.txt --input "$scratch/pieces.txt" --frames "${shot#*:}" \
    --update-only --screenshot "$out/pieces_${shot%%:*}.png"
done
echo "Pictures written to $out"

#!/usr/bin/env bash
# The same frame of the clearing (frame 40, fixed time step) at every quality level and at auto
# (on a software renderer, where auto starts lighter and at a lower render scale), written to
# docs/quality/ one picture each plus a strip of all five side by side, and each picture's mean
# absolute difference from the full picture per channel (0 to 255), over the whole picture and
# over the HUD panel in the top left corner.
# Needs a built game (build/src/game/mossfang); runs under Xvfb when there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."
game="${MOSSFANG:-build/src/game/mossfang}"
out="${1:-docs/quality}"
mkdir -p "$out"
export ALSOFT_CONF="${ALSOFT_CONF:-$PWD/scripts/openal-null.conf}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch" XDG_DATA_HOME="$scratch"

levels="full medium low minimal auto"
for level in $levels; do
  args=(--area startingArea.txt --fixed-dt 0.0166667 --frames 40 --quality "$level"
    --screenshot "$out/startingArea_$level.png")
  if [ -n "${DISPLAY:-}" ]; then
    "$game" "${args[@]}" >/dev/null
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$game" "${args[@]}" >/dev/null
  fi
done

/usr/bin/python3 - "$out" $levels <<'PY'
import sys
import numpy as np
from PIL import Image, ImageDraw

out, levels = sys.argv[1], sys.argv[2:]
pictures = {l: Image.open(f"{out}/startingArea_{l}.png").convert("RGB") for l in levels}
full = np.asarray(pictures["full"]).astype(int)
# The HUD panel: 149 x 179 pixels in the top left corner of the 800 x 600 window.
hud = (slice(0, 179), slice(0, 149))
print("level     whole picture   HUD panel   (mean absolute difference from full, of 255)")
for level in levels:
    picture = np.asarray(pictures[level]).astype(int)
    difference = np.abs(picture - full)
    print(f"{level:8} {difference.mean():14.3f} {difference[hud].mean():11.3f}")

# The strip: each picture at half size, labelled, side by side.
width, height = 400, 300
strip = Image.new("RGB", (width * len(levels), height + 24), (20, 20, 20))
draw = ImageDraw.Draw(strip)
for i, level in enumerate(levels):
    strip.paste(pictures[level].resize((width, height), Image.LANCZOS), (i * width, 24))
    draw.text((i * width + 8, 6), level, fill=(240, 220, 160))
strip.save(f"{out}/levels.png", optimize=True)
print(f"Pictures written to {out}")
PY

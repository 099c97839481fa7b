#!/usr/bin/env bash
# Regenerates docs/models/concave_*.png: the model viewer's pictures of the OBJ loader's three
# concave test shapes in docs/models/concave/ (written by tools/assets/concave_shapes.py).
# Needs a built game (build/src/game/mossfang); runs under Xvfb when there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."
game="${MOSSFANG:-build/src/game/mossfang}"
export ALSOFT_CONF="${ALSOFT_CONF:-$PWD/scripts/openal-null.conf}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# The viewer shows models from the asset folder beside the program: a copy of the game beside
# the game's own assets with the shapes added.
cp "$game" "$scratch/mossfang"
mkdir "$scratch/assets"
for entry in assets/*; do ln -s "$PWD/$entry" "$scratch/assets/"; done
ln -s "$PWD/docs/models/concave" "$scratch/assets/concave"
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"

for shape in ell star ring; do
  run=("$scratch/mossfang" --view-model "concave/$shape.obj" --frames 40 --fixed-dt 0.0166667
    --screenshot "docs/models/concave_$shape.png")
  if [ -z "${DISPLAY:-}" ]; then
    run=(xvfb-run -a -s "-screen 0 1024x768x24" "${run[@]}")
  fi
  "${run[@]}" >/dev/null
done
echo "Pictures written to docs/models/concave_*.png"

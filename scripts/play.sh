#!/usr/bin/env bash
# Sets everything up and starts the game. Without a display it plays a short headless run under
# Xvfb and saves a screenshot of its last frame, so something visibly happens.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh play

game=build/src/game/mossfang
if [ -n "${DISPLAY:-}" ]; then
  exec "$game" "$@"
fi

mkdir -p out
shot="$PWD/out/screenshot.png"
echo "No display found: running 600 frames headless under Xvfb."
xvfb-run -a -s "-screen 0 1024x768x24" \
  env ALSOFT_CONF="${ALSOFT_CONF:-$PWD/scripts/openal-null.conf}" \
  "$game" --frames 600 --fixed-dt 0.0166667 --screenshot "$shot" "$@"
echo "The last frame is in $shot"

#!/bin/bash
# Regenerates every generated asset under assets/, then checks the pictures, font, sounds and
# music. Run from anywhere; it works in the repository root. Order: font atlas, pictures, sound
# effects and voices, music, then the model and ninja generators when they are present, and the desktop icon.
# Every generator uses fixed seeds, so a second run rewrites the same bytes.
#   --media-only   skip the model and ninja generators
set -euo pipefail

MEDIA_ONLY=0
if [ "${1:-}" = "--media-only" ]; then
    MEDIA_ONLY=1
fi

cd "$(dirname "$0")/../.."
PY=/usr/bin/python3   # Debian's interpreter: it sees python3-pil and python3-numpy

need() {
    if [ ! -e "$1" ]; then
        echo "generate_all: missing $1 (install the Debian package $2)" >&2
        exit 1
    fi
}
need /usr/share/fonts/truetype/averia-gwf/AveriaSerifGWF-Bold.ttf fonts-averia-serif-gwf
need /usr/share/fonts/truetype/averia-gwf/AveriaSerifGWF-Regular.ttf fonts-averia-serif-gwf
need /usr/share/fonts/truetype/leckerli-one/LeckerliOne-Regular.ttf fonts-leckerli-one
for tool in sox lame espeak-ng; do
    command -v "$tool" >/dev/null || { echo "generate_all: $tool is not installed" >&2; exit 1; }
done

echo "== font atlas"
$PY tools/assets/gen_font.py
echo "== pictures"
$PY tools/assets/gen_pictures.py
echo "== the lily stream's backdrop and water"
$PY tools/assets/gen_background_stream.py
echo "== the wasp meadow's backdrop"
$PY tools/assets/gen_background_meadow.py
echo "== the spider cellar's and the high canopy's backdrops"
$PY tools/assets/gen_background_cellar.py
$PY tools/assets/gen_background_canopy.py
echo "== sound effects and voices"
$PY tools/assets/gen_sfx.py
echo "== music (several minutes)"
$PY tools/assets/gen_music.py
if [ $MEDIA_ONLY = 0 ] && [ -f tools/assets/models/generate.py ]; then
    echo "== models"
    $PY tools/assets/models/generate.py
fi
if [ $MEDIA_ONLY = 0 ] && [ -f tools/assets/ninja/generate.py ]; then
    echo "== ninja"
    $PY tools/assets/ninja/generate.py
fi
if [ $MEDIA_ONLY = 0 ]; then
    echo "== desktop icon (packaging/icons, from the hat model)"
    $PY tools/assets/gen_icons.py
fi
echo "== checks"
$PY tools/assets/check_media.py

#!/usr/bin/env bash
# Builds the .deb, unpacks it into a scratch root, and plays it from an unrelated folder:
# the installed executable must find its installed assets, run 60 frames headless and leave a
# screenshot that is not blank. Also checks that no source-tree path is compiled into it.
# Usage: deb_install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build="$1"
source="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/pkg" >/dev/null)
deb="$(ls "$scratch"/pkg/*.deb)"
echo "package: $(basename "$deb")"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "depends: $depends"
# Runtime libraries only: no -dev packages, no test or generator tools.
if grep -Eq -- '-dev|gtest|benchmark|python3|sox|xvfb' <<<"$depends"; then
  echo "FAIL: build or test packages among the dependencies" >&2
  exit 1
fi

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
exe="$root/usr/bin/mossfang"
test -x "$exe"
test -d "$root/usr/share/mossfang/assets/shaders"
if strings "$exe" | grep -qF "$source"; then
  echo "FAIL: the installed executable names the source tree $source" >&2
  exit 1
fi

elsewhere="$scratch/elsewhere"
mkdir -p "$elsewhere"
cd "$elsewhere"
run=("$exe" --frames 60 --fixed-dt 0.0166667 --screenshot "$elsewhere/shot.png")
if [ -z "${DISPLAY:-}" ]; then
  run=(xvfb-run -a -s "-screen 0 1024x768x24" "${run[@]}")
fi
ALSOFT_CONF="$source/scripts/openal-null.conf" "${run[@]}"

# The menu picture: many distinct colours, not one flat fill.
/usr/bin/python3 - "$elsewhere/shot.png" <<'PY'
import sys
from PIL import Image
image = Image.open(sys.argv[1]).convert("RGB")
colours = image.getcolors(maxcolors=1 << 24)
if image.size != (800, 600) or colours is None or len(colours) < 50:
    sys.exit("FAIL: blank or wrong-sized screenshot: %s, %s colours" % (image.size, len(colours or [])))
print("screenshot %dx%d with %d colours" % (image.size + (len(colours),)))
PY
echo "The installed package runs."

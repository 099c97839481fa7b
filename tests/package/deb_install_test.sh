#!/usr/bin/env bash
# Builds the .deb, unpacks it into a scratch root, and plays it from an unrelated folder:
# the installed executable must find its installed assets, run 60 frames headless and leave a
# screenshot that is not blank. Also checks that no source-tree path is compiled into it, and
# that the desktop pieces are there and valid: the menu entry (desktop-file-validate), the
# software-centre entry (appstreamcli), the icon at every size, and the manual page, which must
# name every option the program lists. lintian must find no error and no warning in the package
# (it reports only informational tags: the shaders', levels' and credits' text files under
# usr/share/mossfang read to it as documentation, the assets are 93% of an
# architecture-dependent package, and the build's hardening flags are the compiler's defaults).
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
exe="$root/usr/games/mossfang"
test -x "$exe"
test -d "$root/usr/share/mossfang/assets/shaders"

# The desktop pieces.
share="$root/usr/share"
desktop-file-validate "$share/applications/mossfang.desktop"
grep -qx 'Exec=mossfang' "$share/applications/mossfang.desktop"
grep -qx 'Icon=mossfang' "$share/applications/mossfang.desktop"
grep -qx 'Categories=Game;ActionGame;' "$share/applications/mossfang.desktop"
appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml
/usr/bin/python3 - "$share/icons/hicolor" <<'PY'
import sys
from PIL import Image
for size in (32, 48, 64, 128, 256):
    path = "%s/%dx%d/apps/mossfang.png" % (sys.argv[1], size, size)
    image = Image.open(path)
    if image.size != (size, size) or image.mode != "RGBA":
        sys.exit("FAIL: %s is %s %s" % (path, image.size, image.mode))
    if len(image.convert("RGB").getcolors(maxcolors=1 << 24) or []) < 50:
        sys.exit("FAIL: %s is nearly blank" % path)
print("icons at 32, 48, 64, 128 and 256 px")
PY
manpage="$share/man/man6/mossfang.6.gz"
gzip -t "$manpage"
if [ -n "$(MANWIDTH=80 man --warnings -E UTF-8 -l "$manpage" 2>&1 >/dev/null)" ]; then
  echo "FAIL: the manual page has roff warnings" >&2
  exit 1
fi
page="$(zcat "$manpage" | sed 's/\\-/-/g')"
for option in $("$exe" --help | grep -oE '^  (-h,)?--[a-z-]+' | sed 's/.*--/--/'); do
  if ! grep -qF -- "$option" <<<"$page"; then
    echo "FAIL: the manual page lacks $option" >&2
    exit 1
  fi
done
grep -qF 'Z, J or Space' <<<"$page"
echo "desktop entry, metainfo, icons and manual page are valid"

# lintian's own status is non-zero when it finds errors; its tags tell what it found.
tags="$(lintian --tag-display-limit 0 "$deb" 2>/dev/null || true)"
if grep -E '^[EW]: ' <<<"$tags"; then
  echo "FAIL: lintian errors or warnings" >&2
  exit 1
fi
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

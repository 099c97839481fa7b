#!/usr/bin/env bash
# Installs what Mossfang needs on Debian 12, then configures and builds it in build/.
# Usage: scripts/setup.sh [play|test]
#   play  the packages that building and playing the game need; builds the game only
#   test  (the default) adds the test, benchmark, packaging and asset-generator packages and
#         builds everything
# Run as root it installs missing packages itself; otherwise it prints the apt-get line to run.
set -euo pipefail
cd "$(dirname "$0")/.."

set_name="${1:-test}"
case "$set_name" in
  play|test) ;;
  *) echo "usage: scripts/setup.sh [play|test]" >&2; exit 2 ;;
esac

packages=(
  # build tools
  build-essential cmake pkg-config git
  # libraries of the game
  libsfml-dev libglew-dev libglm-dev libassimp-dev
  libopenal-dev libsndfile1-dev zlib1g-dev libpng-dev libjpeg62-turbo-dev nlohmann-json3-dev
  libcli11-dev
  # headless runs (play.sh without a display)
  xvfb xauth libgl1-mesa-dri
)
if [ "$set_name" = test ]; then
  packages+=(
    # tests, benchmarks and the .deb
    libgtest-dev libgmock-dev libbenchmark-dev libbox2d-dev dpkg-dev binutils
    # checks of the package's menu entry, software-centre entry, manual page and contents
    desktop-file-utils appstream lintian man-db
    # fuzz targets and the sanitizer build (clang 14 with libFuzzer)
    clang-14 libclang-rt-14-dev
    # the asset generators (tools/assets)
    python3 python3-pil python3-numpy sox libsox-fmt-mp3 lame espeak-ng fonts-dejavu-core
  )
  # Extra packages named by the asset generators, one per line.
  if [ -f tools/assets/packages.txt ]; then
    while read -r p; do
      case "$p" in ''|'#'*) ;; *) packages+=("$p") ;; esac
    done < tools/assets/packages.txt
  fi
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
  else
    echo "Missing Debian packages. Run this, then start again:"
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}"
    exit 1
  fi
fi

build_type="${MOSSFANG_BUILD_TYPE:-RelWithDebInfo}"
jobs="$(nproc 2>/dev/null || echo 2)"
if [ "$set_name" = play ]; then
  # Playing needs the game alone; a tree configured for tests keeps its tests.
  if [ -f build/CMakeCache.txt ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE="$build_type" >/dev/null
  else
    cmake -S . -B build -DCMAKE_BUILD_TYPE="$build_type" -DMOSSFANG_BUILD_TESTS=OFF \
      -DMOSSFANG_BUILD_BENCH=OFF >/dev/null
  fi
  cmake --build build -j "$jobs" --target mossfang
else
  cmake -S . -B build -DCMAKE_BUILD_TYPE="$build_type" -DMOSSFANG_BUILD_TESTS=ON \
    -DMOSSFANG_BUILD_BENCH=ON >/dev/null
  cmake --build build -j "$jobs"
fi

#!/usr/bin/env bash
# Installs what Mossfang needs on Debian 12, then configures and builds it in build/.
# Run as root it installs missing packages itself; otherwise it prints the apt-get line to run.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  # build tools
  build-essential cmake pkg-config git
  # libraries of the game
  libsfml-dev libglew-dev libglm-dev libassimp-dev libboost-dev
  libopenal-dev libsndfile1-dev nlohmann-json3-dev libcli11-dev
  # tests, benchmarks and headless runs
  libgtest-dev libgmock-dev libbenchmark-dev libbox2d-dev xvfb xauth libgl1-mesa-dri
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
cmake -S . -B build -DCMAKE_BUILD_TYPE="$build_type" >/dev/null
cmake --build build -j "$jobs"

#!/usr/bin/env bash
# Rebuilds the seed corpora under fuzz/corpus/ from assets/ and the tests' own cases. The results
# are committed; run this again after the file formats change. Small on purpose: a few
# representative files per target, since libFuzzer's inputs grow from these.
set -euo pipefail
cd "$(dirname "$0")/.."
out=fuzz/corpus
# Inputs the fuzzers found (named found_*) stay: they are regression cases, loaded by the tests too.
find "$out" -type f ! -name 'found_*' -delete 2>/dev/null || true
mkdir -p "$out"/{definition_reader,shader_definition,obj,mtl,material_definition,animation_definition,input_script,picture,sound,level}

# Definition reader: one plan byte, then a definition file of each kind.
i=0
for f in assets/shaders/texturedShaderProgram.txt assets/shaders/objSpaceNormalMapping.txt \
         assets/models/ninjaAnimations.txt tests/game/levels/everyTemplate.txt; do
  { printf "\\x$(printf %02x $((i * 3)))"; cat "$f"; } >"$out/definition_reader/$(basename "$f")"
  i=$((i + 1))
done

# Shader definitions with the stage sources and their includes as "@@ NAME" parts.
shader_set() { # definition, then the files it reaches, named as the definition names them
  local def="$1"; shift
  cat "assets/shaders/$def"
  for name in "$@"; do
    printf '\n@@ %s\n' "$name"
    cat "assets/$name"
  done
}
shader_set texturedShaderProgram.txt shaders/lit.vert shaders/textured.frag shaders/lighting.glsl \
  shaders/common.glsl >"$out/shader_definition/textured"
shader_set flatShader.txt shaders/flat.vert shaders/flat.frag shaders/common.glsl \
  >"$out/shader_definition/flat"
printf '[ { type vertex key "shaders/a.vert" data "#version 330 core\\n" } ]\n@@ shaders/a.vert\n#include "b.glsl"\nvoid main() {}\n@@ shaders/b.glsl\n#include "a.vert"\n#include "b.glsl"\n' \
  >"$out/shader_definition/nested"

# OBJ and MTL: the smallest models of the game.
for m in shinyThing antEgg; do
  cp "assets/models/$m.obj" "$out/obj/$m.obj"
  cp "assets/models/$m.mtl" "$out/mtl/$m.mtl"
done
printf 'v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\nusemtl a b\nf 1/1/1 2//1 3 -1\nf 70000 1\r\nv nan 1 2\n' \
  >"$out/obj/edges.obj"

# Material definitions.
printf '{ uniforms [ int a 1 float b 2.5 vec3 c [1 2 3] mat4 m [1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1] ]\n  shaderProgram "shaders/texturedShaderProgram.txt" texture "t.png" }\n' \
  >"$out/material_definition/full.txt"
printf '{ uniforms [ vec3 mat_diffuse [1 0.5 0.25] float mat_shininess 8 ] }\n' \
  >"$out/material_definition/colour.txt"

# Animation definitions.
cp assets/models/ninjaAnimations.txt "$out/animation_definition/ninjaAnimations.txt"
printf '{ "model.gltf" [ walk { 0 10 loop 0.05 } punch { 11 20 } bad { 30 2 } ] }\n' \
  >"$out/animation_definition/small.txt"

# Input scripts.
printf '0-59 hold Right   # walk\n60 hold Space\n75-80 hold Left Z\n120 click 300 410 left\n' \
  >"$out/input_script/walk.txt"
printf '# menu, start, door\n10 hold Return\n30-400 hold Right\n500 hold Escape\n900 click 1 1 right\n' \
  >"$out/input_script/flow.txt"

# Pictures: the smallest of the game's images and tiny made-up PNGs and JPEGs of each kind.
cp assets/sugarParticle.png "$out/picture/sugarParticle.png"
/usr/bin/python3 - "$out/picture" <<'PY'
import sys
from PIL import Image
out = sys.argv[1]
img = Image.new("RGBA", (5, 3), (200, 40, 10, 128))
img.save(f"{out}/tiny.png")
img.convert("RGB").save(f"{out}/tiny.jpg", quality=80)
img.convert("L").save(f"{out}/grey.png")
img.convert("P").save(f"{out}/palette.png")
img.convert("RGB").save(f"{out}/progressive.jpg", quality=80, progressive=True)
PY

# Sounds: a plan byte (0: ".wav", 1: ".mp3") and a short file in each layout.
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
sox -n -r 22050 -c 1 -b 16 "$tmp/mono.wav" synth 0.05 sine 440
sox -n -r 44100 -c 2 -b 16 "$tmp/stereo.wav" synth 0.03 sine 300 sine 500
sox -n -r 8000 -c 1 -b 8 "$tmp/byte.wav" synth 0.05 square 200
lame --quiet -b 32 "$tmp/mono.wav" "$tmp/mono.mp3"
for f in mono stereo byte; do { printf '\x00'; cat "$tmp/$f.wav"; } >"$out/sound/$f.wav"; done
{ printf '\x01'; cat "$tmp/mono.mp3"; } >"$out/sound/mono.mp3"

# Levels: the tests' areas.
cp tests/game/levels/*.txt "$out/level/"
du -sh "$out"

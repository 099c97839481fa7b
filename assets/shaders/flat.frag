// Fragment stage of the unlit textured shader: the texture as it is. "transparency" (0 unless a
// material sets it) takes that share of the alpha away, for pictures that fade.
#include "common.glsl"
in vec2 uv;
in vec3 viewNormal;

uniform sampler2D diffuseTex;
uniform float transparency;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 fragNormal;

void main() {
    vec4 colour = texture(diffuseTex, uv);
    colour.a *= 1.0 - transparency;
    // Fully transparent texels leave neither colour nor depth behind, even in the opaque pass.
    if (colour.a <= 0.0)
        discard;
    fragColor = colour;
    // Unlit: no ambient term for the ambient occlusion to darken.
    fragNormal = vec4(safeNormalize(viewNormal), 0.0);
}

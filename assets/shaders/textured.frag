// Fragment stage of the MTL materials' shader: diffuse colour times the optional diffuse texture,
// lit by the scene lights.
#include "lighting.glsl"

in vec3 worldPosition;
in vec3 worldNormal;
in vec2 uv;
flat in mat3 normalMatrix;

uniform mat4 V;
uniform int usingDiffuseTex;
uniform sampler2D diffuseTex;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 fragNormal;

void main() {
    vec4 texel = usingDiffuseTex != 0 ? texture(diffuseTex, uv) : vec4(1.0);
    vec3 albedo = mat_diffuse * texel.rgb;
    vec3 n = safeNormalize(worldNormal);
    float ambientShare;
    fragColor = vec4(shade(n, worldPosition, albedo, ambientShare), texel.a);
    fragNormal = vec4(safeNormalize(mat3(V) * n), ambientShare);
}

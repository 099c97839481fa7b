// Fragment stage of the object-space normal-mapped shader: the normal comes from the "normalMap"
// texture, which stores the object-space normal n as n * 0.5 + 0.5; the mesh's own normals are
// not used. The rest is the MTL material lighting.
#include "lighting.glsl"

in vec3 worldPosition;
in vec3 worldNormal;
in vec2 uv;
flat in mat3 normalMatrix;

uniform mat4 V;
uniform int usingDiffuseTex;
uniform sampler2D diffuseTex;
uniform sampler2D normalMap;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 fragNormal;

void main() {
    vec4 texel = usingDiffuseTex != 0 ? texture(diffuseTex, uv) : vec4(1.0);
    vec3 albedo = mat_diffuse * texel.rgb;
    vec3 objectNormal = texture(normalMap, uv).rgb * 2.0 - 1.0;
    vec3 n = safeNormalize(normalMatrix * objectNormal);
    float ambientShare;
    fragColor = vec4(shade(n, worldPosition, albedo, ambientShare), texel.a);
    fragNormal = vec4(safeNormalize(mat3(V) * n), ambientShare);
}

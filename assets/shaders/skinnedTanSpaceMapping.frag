// Fragment stage of the skinned, tangent-space normal-mapped shader. "normalMap" stores the
// surface normal in the tangent frame as n * 0.5 + 0.5: red along the tangent (+u), green along
// the bitangent (towards the top of the image), blue out of the surface.
#include "lighting.glsl"

in vec3 worldPosition;
in vec3 worldNormal;
in vec3 worldTangent;
in vec3 worldBitangent;
in vec2 uv;

uniform mat4 V;
uniform int usingDiffuseTex;
uniform sampler2D diffuseTex;
uniform sampler2D normalMap;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 fragNormal;

void main() {
    vec4 texel = usingDiffuseTex != 0 ? texture(diffuseTex, uv) : vec4(1.0);
    vec3 albedo = mat_diffuse * texel.rgb;
    vec3 tangentNormal = texture(normalMap, uv).rgb * 2.0 - 1.0;
    // A tangent-space normal never points into the surface; such a texel (a missing map samples
    // as black) leaves the mesh's own normal.
    if (tangentNormal.z <= 0.0)
        tangentNormal = vec3(0.0, 0.0, 1.0);
    vec3 n = safeNormalize(worldNormal);
    // Without tangents (a mesh that has none) the frame degenerates to the normal alone.
    vec3 t = worldTangent - n * dot(n, worldTangent);
    t = dot(t, t) > 1e-12 ? normalize(t) : vec3(0.0);
    vec3 b = dot(worldBitangent, worldBitangent) > 1e-12 ? normalize(worldBitangent) : vec3(0.0);
    vec3 mapped = safeNormalize(t * tangentNormal.x + b * tangentNormal.y + n * tangentNormal.z);
    float ambientShare;
    fragColor = vec4(shade(mapped, worldPosition, albedo, ambientShare), texel.a);
    fragNormal = vec4(safeNormalize(mat3(V) * mapped), ambientShare);
}

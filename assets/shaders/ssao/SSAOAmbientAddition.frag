// Fragment stage of the ambient-occlusion pass. It writes the scene's colour less the share of the
// ambient light that nearby geometry keeps from reaching the pixel. (The renderer has copied the
// scene's colour and depth into the target already and runs this only where there is geometry.)
//
// The scene's normal attachment holds the view-space normal in rgb and, in alpha, the share of
// the pixel's colour that came from the ambient term (0 for unlit surfaces and the cleared
// background), so only ambient light is ever darkened. Occlusion is estimated from the depth
// buffer: eight neighbours, found by mirroring the four "samples" offsets in a random direction
// from "randomTex" (and turning them by 45 degrees), are rebuilt in view space; each one that rises
// above the pixel's surface (more than "bias" along its normal) occludes it, less with distance
// ("scale"), times "intensity". "sampleRad" is the radius of the neighbourhood in view-space
// units, projected to the screen at the pixel's depth.
#include "../common.glsl"

in vec2 uv;

uniform mat4 PInv;
uniform vec2 samples[4];
uniform vec2 screenSize;
uniform vec2 randomSize;
uniform float sampleRad;
uniform float intensity;
uniform float scale;
uniform float bias;
uniform sampler2D depthTex;
uniform sampler2D colorTex;
uniform sampler2D normalTex;
uniform sampler2D randomTex;

layout(location = 0) out vec4 fragColor;

// The view-space position of the surface at texture coordinate `coord` with window depth `depth`.
// Perspective and orthographic projections (and their inverses) never mix x, y and depth, so
// only seven entries of the inverse matter; this runs nine times a pixel.
vec3 viewPosition(vec2 coord, float depth) {
    vec3 ndc = vec3(coord, depth) * 2.0 - 1.0;
    vec4 view = vec4(ndc.x * PInv[0][0] + PInv[3][0], ndc.y * PInv[1][1] + PInv[3][1],
                     ndc.z * PInv[2][2] + PInv[3][2], ndc.z * PInv[2][3] + PInv[3][3]);
    return view.xyz / view.w;
}

// How much the surface seen at `coord` occludes the point `p` with normal `n`. The depth is read
// from the nearest texel, unfiltered: filtering would blend depths across silhouettes into
// surfaces that are not there, and costs more.
float occlusion(vec2 coord, vec3 p, vec3 n) {
    ivec2 texel = clamp(ivec2(coord * screenSize), ivec2(0), ivec2(screenSize) - 1);
    vec3 difference = viewPosition(coord, texelFetch(depthTex, texel, 0).r) - p;
    float distance = length(difference);
    vec3 direction = difference / max(distance, 1e-6);
    return max(dot(n, direction) - bias, 0.0) / (1.0 + distance * scale);
}

void main() {
    ivec2 texel = ivec2(gl_FragCoord.xy);
    vec4 colour = texelFetch(colorTex, texel, 0);
    vec4 normalAndAmbient = texelFetch(normalTex, texel, 0);
    float depth = texelFetch(depthTex, texel, 0).r;
    fragColor = colour;
    float ambientShare = normalAndAmbient.a;
    // The background and unlit surfaces have no ambient term to darken.
    if (depth >= 1.0 || ambientShare <= 0.0)
        return;

    vec3 p = viewPosition(uv, depth);
    float reciprocalW = (depth * 2.0 - 1.0) * PInv[2][3] + PInv[3][3];
    vec3 n = safeNormalize(normalAndAmbient.xyz);
    // One noise texel per pixel, repeating: the texel is looked up directly.
    ivec2 noiseTexel = ivec2(fract(uv * screenSize / randomSize) * randomSize);
    vec2 random =
        safeNormalize(vec3(texelFetch(randomTex, noiseTexel, 0).xy * 2.0 - 1.0, 0.0)).xy;
    // Half the projection's scale turns view units into texture units; reciprocalW is 1 over the
    // clip-space w, so the radius shrinks with distance under perspective and stays fixed under
    // an orthographic lens.
    vec2 radius = sampleRad * 0.5 * vec2(1.0 / PInv[0][0], 1.0 / PInv[1][1]) * reciprocalW;

    float sum = 0.0;
    for (int i = 0; i < 4; ++i) {
        vec2 mirrored = reflect(samples[i], random);
        vec2 turned = vec2(mirrored.x - mirrored.y, mirrored.x + mirrored.y) * 0.70710678;
        sum += occlusion(uv + mirrored * radius * 0.5, p, n);
        sum += occlusion(uv + turned * radius, p, n);
    }
    float ambientOcclusion = clamp(sum * intensity / 8.0, 0.0, 1.0);
    fragColor.rgb = colour.rgb * (1.0 - ambientShare * ambientOcclusion);
}

// Fragment stage of the one-draw composite: the lit scene, plus the bloom, plus the solid particles
// weighted by their own colour, in one full-screen pass instead of a copy and two blended draws.
// All three buffers have the target's size, so their texels are read directly.
//
// The window holds 8 bits a channel, and blending there works on 8-bit values: the copy of the lit
// scene is rounded to 8 bits, the bloom (8 bits already) is added to it, and the solid particles'
// colour is rounded to 8 bits, multiplied by itself with rounding and added, each sum saturating.
// The same integer steps are taken here, so the picture is the one the three draws give.
in vec2 uv;

uniform bool addBloom;
uniform bool addSolid;
uniform sampler2D litTex;
uniform sampler2D bloomTex;
uniform sampler2D particleTex;

layout(location = 0) out vec4 fragColor;

vec4 toBytes(vec4 colour) { return floor(clamp(colour, 0.0, 1.0) * 255.0 + 0.5); }

void main() {
    ivec2 texel = ivec2(gl_FragCoord.xy);
    vec4 sum = toBytes(texelFetch(litTex, texel, 0));
    if (addBloom) {
        // The bloom's alpha is not added: the bloom draw writes alpha 0.
        sum.rgb = min(sum.rgb + toBytes(texelFetch(bloomTex, texel, 0)).rgb, 255.0);
    }
    if (addSolid) {
        vec4 solid = toBytes(texelFetch(particleTex, texel, 0));
        sum = min(sum + floor(solid * solid / 255.0 + 0.5), 255.0);
    }
    fragColor = sum / 255.0;
}

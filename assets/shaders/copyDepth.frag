// Fragment stage of the depth copy: the depth of "depthTex" at this pixel becomes the target's
// depth, so particles drawn next are hidden behind the scene. The colour is left black.
uniform sampler2D depthTex;

layout(location = 0) out vec4 fragColor;

void main() {
    // Source and target have the same size: one texel per pixel, no filtering.
    gl_FragDepth = texelFetch(depthTex, ivec2(gl_FragCoord.xy), 0).r;
    fragColor = vec4(0.0);
}

// Fragment stage of the lighter levels' depth upscale: the depth of the scene drawn at the render
// scale ("depthTex", "sourceSize" texels, the nearest one) becomes the window's, so that texts
// drawn next at the window's own resolution are hidden behind the scene as in the full picture.
// The colour is masked off.
in vec2 uv;

uniform vec2 sourceSize;
uniform sampler2D depthTex;

layout(location = 0) out vec4 fragColor;

void main() {
    ivec2 texel = clamp(ivec2(uv * sourceSize), ivec2(0), ivec2(sourceSize) - 1);
    gl_FragDepth = texelFetch(depthTex, texel, 0).r;
    fragColor = vec4(0.0);
}

// Fragment stage of the text shader: the glyph cell's texels tinted by "color"; the atlas's alpha
// shapes the letters, scaled by "opacity" for lines that fade.
in vec2 uv;

uniform vec3 color;
uniform float opacity;
uniform sampler2D diffuseTex;

layout(location = 0) out vec4 fragColor;

void main() {
    vec4 glyph = texture(diffuseTex, uv);
    if (glyph.a <= 0.0)
        discard;
    fragColor = vec4(color * glyph.rgb, glyph.a * opacity);
}

// Fragment stage of the particle points: the particle picture tinted by the particle's colour,
// with a soft round edge so the square sprite never shows its corners.
in vec4 particleColour;

uniform sampler2D diffuseTex;

layout(location = 0) out vec4 fragColor;

void main() {
    vec2 offset = gl_PointCoord * 2.0 - 1.0;
    float distanceSquared = dot(offset, offset);
    if (distanceSquared > 1.0)
        discard;
    // 1 in the middle, falling smoothly to 0 at the rim.
    float falloff = 1.0 - smoothstep(0.25, 1.0, distanceSquared);
    vec4 texel = texture(diffuseTex, gl_PointCoord);
    fragColor = vec4(texel.rgb * particleColour.rgb,
                     clamp(texel.a * particleColour.a * falloff, 0.0, 1.0));
}

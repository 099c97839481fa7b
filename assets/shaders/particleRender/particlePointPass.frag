// Fragment stage of the particle pass points. The pass adds (blend: one, one), so the colour is
// weighted by its alpha here, with the same soft round edge as the normal points.
in vec4 particleColour;

uniform sampler2D diffuseTex;

layout(location = 0) out vec4 fragColor;

void main() {
    vec2 offset = gl_PointCoord * 2.0 - 1.0;
    float distanceSquared = dot(offset, offset);
    if (distanceSquared > 1.0)
        discard;
    float falloff = 1.0 - smoothstep(0.25, 1.0, distanceSquared);
    vec4 texel = texture(diffuseTex, gl_PointCoord);
    float alpha = clamp(texel.a * particleColour.a * falloff, 0.0, 1.0);
    fragColor = vec4(texel.rgb * clamp(particleColour.rgb, 0.0, 1.0) * alpha, alpha);
}

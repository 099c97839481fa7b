// Fragment stage of the bright pass: the light of "diffuseTex" above white (what a screen cannot
// show) times "strength". Everything at or below 1 gives black, so dim light never glows.
in vec2 uv;

uniform vec3 strength;
uniform sampler2D diffuseTex;

layout(location = 0) out vec4 fragColor;

void main() {
    vec3 colour = texture(diffuseTex, uv).rgb;
    fragColor = vec4(strength * max(colour - vec3(1.0), vec3(0.0)), 0.0);
}

// Fragment stage of the bloom sum: the particles' own light ("normalRender") plus the five
// blurred bright levels, times "alpha". The levels are smaller than the target; linear filtering
// stretches them smoothly over it.
in vec2 uv;

uniform float alpha;
uniform sampler2D normalRender;
uniform sampler2D brightRender2;
uniform sampler2D brightRender4;
uniform sampler2D brightRender8;
uniform sampler2D brightRender16;
uniform sampler2D brightRender32;

layout(location = 0) out vec4 fragColor;

void main() {
    vec3 sum = texture(normalRender, uv).rgb;
    sum += texture(brightRender2, uv).rgb;
    sum += texture(brightRender4, uv).rgb;
    sum += texture(brightRender8, uv).rgb;
    sum += texture(brightRender16, uv).rgb;
    sum += texture(brightRender32, uv).rgb;
    fragColor = vec4(sum * alpha, alpha);
}

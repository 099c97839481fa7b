// Fragment stage of the lighter levels' bloom sum: the particles' own light ("normalRender", this
// target's size) plus the four blurred bright levels ("brightRender2" ... "brightRender16", half
// to a sixteenth of it), added to the picture by the blend.
in vec2 uv;

uniform sampler2D normalRender;
uniform sampler2D brightRender2;
uniform sampler2D brightRender4;
uniform sampler2D brightRender8;
uniform sampler2D brightRender16;

layout(location = 0) out vec4 fragColor;

void main() {
    vec3 sum = texelFetch(normalRender, ivec2(gl_FragCoord.xy), 0).rgb;
    sum += texture(brightRender2, uv).rgb;
    sum += texture(brightRender4, uv).rgb;
    sum += texture(brightRender8, uv).rgb;
    sum += texture(brightRender16, uv).rgb;
    fragColor = vec4(sum, 1.0);
}

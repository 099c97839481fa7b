// Fragment stage of the bloom composite: the colour of "diffuseTex" times "alpha", to be added to
// the picture. Its alpha is zero, so the picture's own alpha stays as it is.
in vec2 uv;

uniform float alpha;
uniform sampler2D diffuseTex;

layout(location = 0) out vec4 fragColor;

void main() { fragColor = vec4(texture(diffuseTex, uv).rgb * alpha, 0.0); }

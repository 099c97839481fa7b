// Fragment stage of the plain full-screen draw: "diffuseTex" as it is.
in vec2 uv;

uniform sampler2D diffuseTex;

layout(location = 0) out vec4 fragColor;

void main() { fragColor = texture(diffuseTex, uv); }

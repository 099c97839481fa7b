// Vertex stage of the text shader: glyph quads.
in vec3 pos;
in vec2 UV;

uniform mat4 MVP;

out vec2 uv;

void main() {
    uv = UV;
    gl_Position = MVP * vec4(pos, 1.0);
}

// Vertex stage of the full-screen passes: the quad already covers clip space, so positions pass
// through and the texture coordinates follow.
in vec3 pos;
in vec2 UV;

out vec2 uv;

void main() {
    uv = UV;
    gl_Position = vec4(pos.xy, 0.0, 1.0);
}

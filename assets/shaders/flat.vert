// Vertex stage of the unlit textured shader.
in vec3 pos;
in vec3 normal;
in vec2 UV;

uniform mat4 MVP;
uniform mat4 MV;

out vec2 uv;
out vec3 viewNormal;

void main() {
    uv = UV;
    viewNormal = mat3(MV) * normal;
    gl_Position = MVP * vec4(pos, 1.0);
}

// Vertex stage of the lit mesh shaders: world-space position and normal for the lighting, the
// normal matrix for object-space normal maps.
in vec3 pos;
in vec3 normal;
in vec2 UV;

uniform mat4 MVP;
uniform mat4 M;

out vec3 worldPosition;
out vec3 worldNormal;
out vec2 uv;
flat out mat3 normalMatrix;

void main() {
    // The inverse transpose keeps normals perpendicular under non-uniform scale.
    normalMatrix = transpose(inverse(mat3(M)));
    worldPosition = vec3(M * vec4(pos, 1.0));
    worldNormal = normalMatrix * normal;
    uv = UV;
    gl_Position = MVP * vec4(pos, 1.0);
}

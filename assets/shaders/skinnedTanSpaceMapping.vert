// Vertex stage of the skinned, tangent-space normal-mapped shader: linear blend skinning with
// four influences, then world-space position and tangent frame for the lighting.

// Must hold the largest skeleton drawn (the ninja has 21 bones); the engine uploads no more
// matrices than the array has.
const int maxBones = 64;

in vec3 pos;
in vec2 UV;
in vec3 normal;
in vec3 tangent;
in vec3 bitangent;
in ivec4 index;
in vec4 weight;

uniform mat4 bones[maxBones];
uniform mat4 MVP;
uniform mat4 M;

out vec3 worldPosition;
out vec3 worldNormal;
out vec3 worldTangent;
out vec3 worldBitangent;
out vec2 uv;

mat4 bone(int i) { return bones[clamp(i, 0, maxBones - 1)]; }

void main() {
    // Weights are divided by their sum, so a vertex whose fifth influence was dropped still
    // moves as a whole; a vertex without influences stays in the bind pose.
    float total = weight.x + weight.y + weight.z + weight.w;
    mat4 skin = mat4(1.0);
    if (total > 1e-6) {
        skin = (bone(index.x) * weight.x + bone(index.y) * weight.y + bone(index.z) * weight.z +
                bone(index.w) * weight.w) / total;
    }
    vec4 skinnedPosition = skin * vec4(pos, 1.0);
    // Bones rotate and translate only, so directions follow the skin's 3 x 3 part; the model
    // matrix may scale unevenly, so normals take its inverse transpose.
    mat3 skinDirections = mat3(skin);
    mat3 modelDirections = mat3(M);
    mat3 normalMatrix = transpose(inverse(modelDirections));
    worldPosition = vec3(M * skinnedPosition);
    worldNormal = normalMatrix * (skinDirections * normal);
    worldTangent = modelDirections * (skinDirections * tangent);
    worldBitangent = modelDirections * (skinDirections * bitangent);
    uv = UV;
    gl_Position = MVP * skinnedPosition;
}

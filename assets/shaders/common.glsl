// Helpers shared by every stage that includes this file.

// normalize() that gives a fixed direction instead of NaN for a zero vector (meshes without
// normals, the unset light).
vec3 safeNormalize(vec3 v) {
    float lengthSquared = dot(v, v);
    return lengthSquared > 1e-20 ? v * inversesqrt(lengthSquared) : vec3(0.0, 0.0, 1.0);
}

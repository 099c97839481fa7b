// The scene lighting of the lit shaders, evaluated in world space.
//
// Every light is a direction (the way the light travels) and a colour; a light left unset has
// colour and direction zero and adds nothing. The surface gets ambient light times its diffuse
// colour (and its ambient colour), Lambert diffuse per light, Blinn-Phong specular per light and
// its own emission. The sum is clamped to [0, 1]: the play areas' HDR pass does the tone mapping,
// everywhere else a plain clamp keeps saturated dusk colours as they are.
#include "common.glsl"

struct Light {
    vec3 direction;
    vec3 color;
};

uniform Light lights[4];
uniform vec3 ambientLight;
uniform vec3 eyePos;

uniform vec3 mat_ambient;
uniform vec3 mat_diffuse;
uniform vec3 mat_specular;
uniform float mat_shininess;
uniform vec3 mat_emissive;

vec3 shade(vec3 normal, vec3 position, vec3 albedo) {
    vec3 n = safeNormalize(normal);
    vec3 toEye = safeNormalize(eyePos - position);
    vec3 colour = ambientLight * (albedo + mat_ambient) + mat_emissive;
    float shininess = max(mat_shininess, 1.0);
    for (int i = 0; i < 4; ++i) {
        vec3 direction = lights[i].direction;
        if (dot(direction, direction) < 1e-12)
            continue;
        vec3 toLight = -normalize(direction);
        float lambert = max(dot(n, toLight), 0.0);
        colour += lights[i].color * albedo * lambert;
        if (lambert > 0.0) {
            vec3 halfway = normalize(toLight + toEye);
            colour += lights[i].color * mat_specular * pow(max(dot(n, halfway), 0.0), shininess);
        }
    }
    return clamp(colour, 0.0, 1.0);
}

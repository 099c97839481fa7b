// The scene lighting of the lit shaders, evaluated in world space.
//
// Every light is a direction (the way the light travels) and a colour; a light left unset has
// colour and direction zero and adds nothing. The surface gets ambient light times its diffuse
// colour (and its ambient colour), Lambert diffuse per light, Blinn-Phong specular per light and
// its own emission. The sum is clamped to [0, 1]: the play areas' HDR pass does the tone mapping,
// everywhere else a plain clamp keeps saturated dusk colours as they are.
//
// The play areas' ambient-occlusion pass darkens only the ambient light, so shade() also says
// which share of the result's brightness the ambient term is; the lit shaders store it in the
// alpha of their normal output.
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

// Brightness of a colour (Rec. 709 weights).
float luminance(vec3 colour) { return dot(colour, vec3(0.2126, 0.7152, 0.0722)); }

vec3 shade(vec3 normal, vec3 position, vec3 albedo, out float ambientShare) {
    vec3 n = safeNormalize(normal);
    vec3 toEye = safeNormalize(eyePos - position);
    vec3 ambient = ambientLight * (albedo + mat_ambient);
    vec3 colour = ambient + mat_emissive;
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
    vec3 shown = clamp(colour, 0.0, 1.0);
    float brightness = luminance(shown);
    ambientShare = brightness > 1e-6 ? clamp(luminance(min(ambient, shown)) / brightness, 0.0, 1.0)
                                     : 0.0;
    return shown;
}

vec3 shade(vec3 normal, vec3 position, vec3 albedo) {
    float ambientShare;
    return shade(normal, position, albedo, ambientShare);
}

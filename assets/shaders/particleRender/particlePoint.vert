// Vertex stage of the particle points: one point per particle, sized in pixels so that a particle
// of size s covers about s * (the system's first scale factor) world units on screen.
in vec3 pos;
in float size;
in vec4 color;

uniform mat4 MV;
uniform mat4 P;
// The system's first scale factor * P[1][1] * half the viewport height: pixels per world unit at
// clip w = 1 (perspective divides by w below; orthographic w is always 1).
uniform float pointScale;

out vec4 particleColour;

void main() {
    gl_Position = P * (MV * vec4(pos, 1.0));
    gl_PointSize = max(size * pointScale / max(gl_Position.w, 1e-4), 0.0);
    particleColour = color;
}

// Vertex stage of the particle points for the particle pass: as particlePoint.vert, with the one
// matrix "MVP".
in vec3 pos;
in float size;
in vec4 color;

uniform mat4 MVP;
// The system's first scale factor * P[1][1] * half the viewport height.
uniform float pointScale;

out vec4 particleColour;

void main() {
    gl_Position = MVP * vec4(pos, 1.0);
    gl_PointSize = max(size * pointScale / max(gl_Position.w, 1e-4), 0.0);
    particleColour = color;
}

// Vertex stage of the overlay lines: the position through "MVP", the colour passed on.
in vec3 pos;
in vec3 lineColour;

uniform mat4 MVP;

out vec3 colour;

void main() {
    colour = lineColour;
    gl_Position = MVP * vec4(pos, 1.0);
}

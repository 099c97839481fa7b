// Fragment stage of the one-dimensional Gaussian blurs. "pixelOffset" is one texel of
// "diffuseTex" along the blur and zero across it, so the same stage blurs either way.
//
// Nine taps with the binomial weights 1 8 28 56 70 56 28 8 1 (out of 256) read as five: where two
// neighbouring taps are merged, one linear-filtered read between them, placed by their weights,
// returns their weighted sum.
in vec2 uv;

uniform float alpha;
uniform vec2 pixelOffset;
uniform sampler2D diffuseTex;

layout(location = 0) out vec4 fragColor;

const float centreWeight = 0.2734375;                  // 70 / 256
const float innerWeight = 0.328125;                    // (56 + 28) / 256
const float outerWeight = 0.03515625;                  // (8 + 1) / 256
const float innerOffset = 1.3333333;                   // (56 * 1 + 28 * 2) / 84
const float outerOffset = 3.1111111;                   // (8 * 3 + 1 * 4) / 9

void main() {
    vec2 inner = pixelOffset * innerOffset;
    vec2 outer = pixelOffset * outerOffset;
    vec4 sum = texture(diffuseTex, uv) * centreWeight;
    sum += (texture(diffuseTex, uv + inner) + texture(diffuseTex, uv - inner)) * innerWeight;
    sum += (texture(diffuseTex, uv + outer) + texture(diffuseTex, uv - outer)) * outerWeight;
    fragColor = sum * alpha;
}

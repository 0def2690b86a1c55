// Flame: a fire burning up from the bottom of the dial. Rising value noise
// gives the tongues their shape, a heat ramp colours them from dark red to a
// white-yellow core, and embers drift up and fade in the warm dark above.
#version 120

uniform vec2 iResolution;
uniform float iTime;

varying vec2 vTexCoord;

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(269.5, 183.3))) * 43758.5453);
}

float Noise(vec2 p)
{
    vec2 i = floor(p);
    vec2 f = fract(p);
    f = f * f * (3.0 - 2.0 * f);
    return mix(mix(Hash(i), Hash(i + vec2(1.0, 0.0)), f.x), mix(Hash(i + vec2(0.0, 1.0)), Hash(i + 1.0), f.x),
               f.y);
}

float Fbm(vec2 p)
{
    float sum = 0.0;
    float amp = 0.5;
    for (int i = 0; i < 4; ++i) {
        sum += amp * Noise(p);
        p = p * 2.03 + vec2(1.7, -0.4);
        amp *= 0.5;
    }
    return sum;
}

vec3 Heat(float h)
{
    h = clamp(h, 0.0, 1.4);
    return vec3(1.6 * h, 1.3 * h * h, 0.9 * h * h * h * h) * 1.1;
}

void main()
{
    // x across the dial (-0.5 .. 0.5 at a square dial), y up from the bottom.
    vec2 p = (gl_FragCoord.xy - vec2(0.5 * iResolution.x, 0.0)) / iResolution.y;
    float t = iTime;

    float n = Fbm(vec2(p.x * 3.2, p.y * 2.2 - t * 1.7));
    float n2 = Fbm(vec2(p.x * 6.0 + 3.0, p.y * 4.0 - t * 2.6));
    float sway = (n - 0.5) * 0.35 * p.y + 0.04 * sin(t * 1.9 + p.y * 5.0) * p.y;
    float x = p.x + sway;
    float width = 0.36 * (1.0 - 0.95 * p.y) + 0.04;
    float body = 1.0 - abs(x) / width;
    float heat = body * 1.25 + (n2 - 0.5) * 0.9 - p.y * 0.55 + 0.15;
    heat *= smoothstep(1.05, 0.35, p.y);

    vec3 col = Heat(heat);
    // Blue at the root of the flame.
    col += vec3(0.1, 0.25, 0.9) * smoothstep(0.12, 0.0, p.y) * smoothstep(0.16, 0.0, abs(x)) * 0.8;
    // Warm glow of the surroundings.
    col += vec3(0.35, 0.09, 0.02) * smoothstep(0.9, 0.0, length(p - vec2(0.0, 0.2)));

    // Embers: each rises on its own line, drifting with the flame.
    for (int i = 0; i < 10; ++i) {
        float fi = float(i);
        float life = fract(t * (0.22 + 0.1 * Hash(vec2(fi, 2.0))) + Hash(vec2(fi, 9.0)));
        vec2 at = vec2((Hash(vec2(fi, 5.0)) - 0.5) * 0.5 + 0.08 * sin(t * 2.0 + fi), 0.15 + life * 0.95);
        float d = length(p - at) * iResolution.y;
        col += vec3(1.0, 0.55, 0.15) * (1.0 - life) * 1.4 / (1.0 + d * d * 0.6);
    }
    gl_FragColor = vec4(col, 1.0);
}

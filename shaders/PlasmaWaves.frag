// PS3: silky ribbons of light float across a slowly changing sky, the way a
// game console's home screen breathes. Each ribbon is a gentle wave drawn as a
// glowing line over a translucent sheet; motes of light drift between them.
#version 120

uniform vec2 iResolution;
uniform float iTime;

varying vec2 vTexCoord;

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(91.7, 151.3))) * 43758.5453);
}

vec3 Sky(vec2 uv, float t)
{
    // The hue of the sky drifts through the months' colours.
    vec3 a = 0.5 + 0.5 * cos(6.2831 * (t * 0.02 + vec3(0.0, 0.33, 0.67)));
    vec3 base = mix(vec3(0.05, 0.2, 0.55), a * 0.7, 0.45);
    return base * (0.45 + 0.75 * uv.y) + vec3(0.12) * (1.0 - uv.y) * uv.x;
}

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    float t = iTime;
    vec3 col = Sky(uv, t);

    for (int i = 0; i < 5; ++i) {
        float fi = float(i);
        float x = uv.x * (1.2 + 0.25 * fi);
        float y = 0.42 + 0.05 * fi - 0.1 +
                  0.12 * sin(x * 2.4 + t * (0.45 + 0.1 * fi) + fi * 1.3) +
                  0.05 * sin(x * 5.3 - t * (0.7 - 0.08 * fi) + fi * 4.1);
        float d = uv.y - y;
        float thickness = 0.004 + 0.003 * sin(t * 0.6 + fi + x * 3.0);
        float line = exp(-abs(d) / thickness) * 0.7 + exp(-abs(d) * 30.0) * 0.18;
        float sheet = smoothstep(0.0, -0.25, d) * smoothstep(-0.5, -0.1, d) * 0.07;
        col += vec3(0.9, 0.95, 1.0) * (line + sheet);
    }

    // Drifting motes.
    for (int i = 0; i < 8; ++i) {
        float fi = float(i);
        vec2 at = vec2(fract(Hash(vec2(fi, 1.0)) + t * (0.01 + 0.02 * Hash(vec2(fi, 2.0)))),
                       0.2 + 0.6 * Hash(vec2(fi, 3.0)) + 0.05 * sin(t + fi));
        float d = length((uv - at) * iResolution) / (iResolution.y / 130.0);
        float twinkle = 0.5 + 0.5 * sin(t * 3.0 + fi * 2.0);
        col += vec3(0.8, 0.9, 1.0) * twinkle / (1.0 + d * d * 0.8);
    }
    gl_FragColor = vec4(col, 1.0);
}

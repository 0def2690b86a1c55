// Flurry, buffer A: glowing streamers of sparks swirl out of the centre and
// bend around it, each trailing a tail of its own past positions. Drawn afresh
// every frame; the small noise texture jitters the streams, the pebbles give a
// faint stony ground far below.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0; // small RGBA noise
uniform sampler2D iChannel1; // pebbles

vec2 StreamAt(float s, float t)
{
    // Each stream circles at its own pace, breathing in and out.
    float a = t * (0.9 + 0.23 * s) + s * 2.1;
    float r = 0.28 + 0.16 * sin(t * (0.7 + 0.11 * s) + s * 1.7);
    vec2 wobble = texture2D(iChannel0, vec2(s * 0.13, t * 0.02)).rg - 0.5;
    return vec2(cos(a), sin(a * 1.3)) * r + wobble * 0.12;
}

vec3 Hue(float h)
{
    return clamp(abs(mod(h * 6.0 + vec3(0.0, 4.0, 2.0), 6.0) - 3.0) - 1.0, 0.0, 1.0);
}

void main()
{
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    vec3 col = texture2D(iChannel1, p * 0.6 + 0.5).rgb * 0.05;
    for (int s = 0; s < 4; ++s) {
        float fs = float(s);
        vec3 tint = Hue(fract(iTime * 0.05 + fs * 0.27));
        for (int k = 0; k < 12; ++k) {
            float age = float(k) * 0.045;
            vec2 q = StreamAt(fs, iTime - age);
            float d = length(p - q);
            float fade = 1.0 - age * 1.7;
            col += tint * fade * 0.0009 / (d * d + 0.0004);
        }
    }
    // The source in the middle.
    col += vec3(0.6, 0.7, 1.0) * 0.003 / (dot(p, p) + 0.003);
    gl_FragColor = vec4(col, 1.0);
}

// Mystify, buffer A: two four-cornered polygons bounce around the screen,
// drawn as thin lines; the previous frame fades slowly underneath, so each
// polygon leaves a ribbon of echoes behind it.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform int iFrame;
uniform sampler2D iChannel0; // this buffer's previous frame

// A corner bouncing between the walls: a triangle wave in x and y.
vec2 Corner(float id, float t)
{
    vec2 speed = vec2(0.13 + 0.05 * fract(id * 0.61), 0.11 + 0.06 * fract(id * 0.37));
    vec2 phase = vec2(fract(id * 0.73), fract(id * 0.29));
    return abs(fract(t * speed + phase) * 2.0 - 1.0);
}

float Segment(vec2 p, vec2 a, vec2 b)
{
    vec2 ab = b - a;
    float h = clamp(dot(p - a, ab) / dot(ab, ab), 0.0, 1.0);
    return length(p - a - ab * h);
}

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec3 col = texture2D(iChannel0, uv).rgb * 0.93;
    if (iFrame == 0)
        col = vec3(0.0);
    float pixel = 1.0 / iResolution.y;
    for (int shape = 0; shape < 2; ++shape) {
        float fs = float(shape);
        vec3 tint = shape == 0 ? vec3(0.2, 0.9, 1.0) : vec3(1.0, 0.35, 0.8);
        tint *= 0.7 + 0.3 * sin(iTime * 0.3 + fs * 2.0);
        for (int i = 0; i < 4; ++i) {
            vec2 a = Corner(fs * 4.0 + float(i), iTime);
            vec2 b = Corner(fs * 4.0 + mod(float(i) + 1.0, 4.0), iTime);
            float d = Segment(uv, a, b);
            col = max(col, tint * smoothstep(1.6 * pixel, 0.3 * pixel, d));
        }
    }
    gl_FragColor = vec4(col, 1.0);
}

// Brushwirl, buffer A: paint dragged round in swirls, as if by a wide brush.
// Each pixel walks a few steps back along a whirling flow and averages the 3D
// noise it meets there, which stretches the noise into brush strokes; the third
// noise axis is time, so the strokes slowly repaint themselves.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler3D iChannel0; // 32 x 32 x 32 gray noise

vec2 Flow(vec2 p)
{
    // Two whirls that wander about.
    vec2 c1 = vec2(0.3 * sin(iTime * 0.2), 0.25 * cos(iTime * 0.17));
    vec2 c2 = -c1.yx * 1.3;
    vec2 d1 = p - c1, d2 = p - c2;
    vec2 v = vec2(-d1.y, d1.x) / (dot(d1, d1) + 0.05) - vec2(-d2.y, d2.x) / (dot(d2, d2) + 0.08) * 0.7;
    return v * 0.02;
}

void main()
{
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    float z = iTime * 0.03;
    float paint = 0.0, hue = 0.0;
    vec2 q = p;
    for (int i = 0; i < 10; ++i) {
        paint += texture3D(iChannel0, vec3(q * 1.7, z)).r;
        hue += texture3D(iChannel0, vec3(q * 0.4 + 0.37, z * 0.5)).r;
        q -= Flow(q);
    }
    gl_FragColor = vec4(paint / 10.0, hue / 10.0, length(Flow(p)) * 20.0, 1.0);
}

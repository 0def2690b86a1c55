// Curling smoke, buffer A: smoke rises from a smouldering line at the bottom;
// each frame the previous smoke is carried along a curling flow (the curl of a
// moving noise field, so it neither gathers nor thins) and fades a little.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform int iFrame;
uniform sampler2D iChannel0; // this buffer's previous frame

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(12.9898, 78.233))) * 43758.5453);
}

float Noise(vec2 p)
{
    vec2 i = floor(p), f = fract(p);
    f = f * f * (3.0 - 2.0 * f);
    return mix(mix(Hash(i), Hash(i + vec2(1, 0)), f.x), mix(Hash(i + vec2(0, 1)), Hash(i + vec2(1, 1)), f.x), f.y);
}

float Potential(vec2 p)
{
    return Noise(p * 3.0 + vec2(0.0, -iTime * 0.4)) + 0.5 * Noise(p * 6.0 + vec2(iTime * 0.3, 0.0));
}

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    float e = 0.01;
    vec2 curl = vec2(Potential(uv + vec2(0.0, e)) - Potential(uv - vec2(0.0, e)),
                     -(Potential(uv + vec2(e, 0.0)) - Potential(uv - vec2(e, 0.0)))) / (2.0 * e);
    vec2 velocity = vec2(0.0, 0.012) + curl * 0.004;
    float smoke = texture2D(iChannel0, uv - velocity).r * 0.99;
    if (iFrame == 0)
        smoke = 0.0;
    // The smouldering source: a few embers along the bottom.
    float ember = smoothstep(0.12, 0.0, uv.y) * (0.4 + 0.6 * Noise(vec2(uv.x * 8.0, iTime * 2.0)));
    smoke = min(smoke + ember * 0.3, 1.5);
    gl_FragColor = vec4(smoke, ember, 0.0, 1.0);
}

// Rhodium liquid carbon, buffer A: the surface of a dark liquid metal, solved
// as waves: red is the height now, green the height one frame before. Each
// frame spreads the waves (the discrete wave equation with a little damping),
// and drops fall in at wandering places.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform int iFrame;
uniform sampler2D iChannel0; // this buffer's previous frame

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 px = 1.0 / iResolution;
    vec2 now = texture2D(iChannel0, uv).rg;
    float around = texture2D(iChannel0, uv + vec2(px.x, 0.0)).r + texture2D(iChannel0, uv - vec2(px.x, 0.0)).r +
                   texture2D(iChannel0, uv + vec2(0.0, px.y)).r + texture2D(iChannel0, uv - vec2(0.0, px.y)).r;
    float next = (around * 0.5 - now.y) * 0.985;
    // A drop every twelve frames, somewhere new each time.
    float beat = floor(float(iFrame) / 12.0);
    vec2 spot = fract(vec2(sin(beat * 12.9898), sin(beat * 78.233)) * 43758.5453) * 0.8 + 0.1;
    float first = step(mod(float(iFrame), 12.0), 0.5);
    next += smoothstep(0.05, 0.0, distance(uv, spot)) * first * 1.5;
    // A slow stirring current keeps the surface alive between drops.
    next += 0.003 * sin(uv.x * 18.0 + iTime * 1.5) * sin(uv.y * 15.0 - iTime);
    if (iFrame == 0)
        next = 0.0;
    gl_FragColor = vec4(next, now.x, 0.0, 1.0);
}

// Chimera's breath, buffer B: the air's velocity. It carries itself along,
// hot air rises, the breath blows up and to the right, and a swirling
// disturbance curls the flames. Blue carries the breath on to buffer C.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform int iFrame;
uniform vec4 iMouse;
uniform sampler2D iChannel0; // buffer A
uniform sampler2D iChannel1; // this buffer's previous frame

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 v = texture2D(iChannel1, uv).xy;
    v = texture2D(iChannel1, uv - v / iResolution).xy * 0.985; // carried by itself
    vec4 a = texture2D(iChannel0, uv);
    v += vec2(0.0, 0.5) * a.g;                 // heat rises
    v += normalize(vec2(1.0, 0.55)) * a.r * 4.0; // the breath
    vec2 swirl = vec2(sin(uv.y * 14.0 + iTime * 2.0), cos(uv.x * 12.0 - iTime * 1.7));
    v += swirl * 0.12;
    v = clamp(v, vec2(-5.0), vec2(5.0));
    if (iFrame == 0)
        v = vec2(0.0);
    gl_FragColor = vec4(v, a.r, 1.0);
}

// Buffers A and B working together, buffer B: remembers where buffer A's balls
// have been. Its previous frame drifts upwards, spreads and fades; A's balls
// are stamped on top, so B holds their smoky trails.
#version 120

uniform vec2 iResolution;
uniform float iTimeDelta;
uniform sampler2D iChannel0; // buffer A
uniform sampler2D iChannel1; // this buffer's previous frame

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 px = 1.0 / iResolution;
    vec2 drift = vec2(0.0, iTimeDelta * 0.12);
    vec3 previous = (texture2D(iChannel1, uv - drift).rgb * 2.0 + texture2D(iChannel1, uv - drift + vec2(px.x, 0.0)).rgb +
                     texture2D(iChannel1, uv - drift - vec2(px.x, 0.0)).rgb) * 0.25;
    vec3 col = max(previous * (1.0 - iTimeDelta * 1.2), texture2D(iChannel0, uv).rgb);
    gl_FragColor = vec4(col, 1.0);
}

// Old watch, buffer B: the faint glow of the dial's luminous paint: the
// numerals' ink (buffer A's alpha) soaks in slowly and fades slowly, blurred a
// little each frame.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer A
uniform sampler2D iChannel1; // this buffer's previous frame

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 px = 1.5 / iResolution;
    float previous = (texture2D(iChannel1, uv + vec2(px.x, 0.0)).r + texture2D(iChannel1, uv - vec2(px.x, 0.0)).r +
                      texture2D(iChannel1, uv + vec2(0.0, px.y)).r + texture2D(iChannel1, uv - vec2(0.0, px.y)).r) *
                     0.25;
    float glow = mix(previous, texture2D(iChannel0, uv).a, 0.08);
    gl_FragColor = vec4(glow, glow, glow, 1.0);
}

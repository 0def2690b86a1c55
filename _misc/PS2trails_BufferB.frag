// PS2 trails, buffer B: the motes' long trails. The previous frame fades and
// is nudged down a little, so each trail hangs below its mote.
#version 120

uniform vec2 iResolution;
uniform float iTimeDelta;
uniform sampler2D iChannel0; // buffer A
uniform sampler2D iChannel1; // this buffer's previous frame

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec3 previous = texture2D(iChannel1, uv + vec2(0.0, 0.004)).rgb;
    vec3 col = previous * (1.0 - iTimeDelta * 1.5) + texture2D(iChannel0, uv).rgb * 0.5;
    gl_FragColor = vec4(col, 1.0);
}

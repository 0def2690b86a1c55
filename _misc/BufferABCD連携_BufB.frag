// Buffers A to D working together, buffer B: warm trails of A: its previous
// frame fades in place and A is laid over it in reds.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer A
uniform sampler2D iChannel1; // this buffer's previous frame

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec3 a = texture2D(iChannel0, uv).rgb;
    vec3 col = max(texture2D(iChannel1, uv).rgb * 0.95, a * vec3(1.0, 0.45, 0.25));
    gl_FragColor = vec4(col, 1.0);
}

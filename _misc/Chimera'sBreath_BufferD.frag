// Chimera's breath, buffer D: the heat that reaches the eye, smoothed over two
// frames, with the fresh breath at its hottest.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer A
uniform sampler2D iChannel1; // this buffer's previous frame

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec4 a = texture2D(iChannel0, uv);
    float heat = mix(texture2D(iChannel1, uv).r, a.g + a.r, 0.6);
    gl_FragColor = vec4(heat, 0.0, 0.0, 1.0);
}

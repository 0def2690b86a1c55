// Chimera's breath, buffer C: the fire's heat, carried by B's velocity, cooling
// as it goes, fed by the breath that B passes on.
#version 120

uniform vec2 iResolution;
uniform int iFrame;
uniform sampler2D iChannel0; // buffer B
uniform sampler2D iChannel1; // this buffer's previous frame

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec4 b = texture2D(iChannel0, uv);
    float heat = texture2D(iChannel1, uv - b.xy / iResolution).r * 0.988;
    heat = min(heat + b.z * 0.5, 2.0);
    if (iFrame == 0)
        heat = 0.0;
    gl_FragColor = vec4(heat, 0.0, 0.0, 1.0);
}

// High-collar cubes: what buffer D holds.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer D

void main()
{
    gl_FragColor = vec4(texture2D(iChannel0, gl_FragCoord.xy / iResolution).rgb, 1.0);
}

// Buffers A to D working together: what buffer D has made of the others.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer D

void main()
{
    vec3 col = texture2D(iChannel0, gl_FragCoord.xy / iResolution).rgb;
    gl_FragColor = vec4(1.0 - exp(-col * 1.5), 1.0);
}

// Mystify: buffer A's bouncing polygons and their fading echoes on black.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer A

void main()
{
    vec3 col = texture2D(iChannel0, gl_FragCoord.xy / iResolution).rgb;
    gl_FragColor = vec4(pow(col, vec3(0.9)), 1.0);
}

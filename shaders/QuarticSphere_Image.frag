// Quartic sphere: buffer A with a gentle gamma.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer A

void main()
{
    vec3 col = texture2D(iChannel0, gl_FragCoord.xy / iResolution).rgb;
    gl_FragColor = vec4(pow(clamp(col, 0.0, 1.0), vec3(0.85)), 1.0);
}

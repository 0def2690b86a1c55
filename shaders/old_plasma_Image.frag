// Old plasma: buffer A's value through a cycling palette, as the demo scene
// cycled its colour registers.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0; // buffer A

void main()
{
    vec2 a = texture2D(iChannel0, gl_FragCoord.xy / iResolution).rg;
    float v = mix(a.x, a.y, 0.6) * 0.25 + iTime * 0.15;
    vec3 col = 0.5 + 0.5 * cos(6.2831 * (v + vec3(0.0, 0.33, 0.67)));
    col *= 0.8 + 0.2 * sin(a.y * 3.0);
    gl_FragColor = vec4(col, 1.0);
}

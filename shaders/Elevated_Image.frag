// Elevated: buffer A's mountains with aerial haze by distance, a warm grade
// and a vignette.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer A: colour and distance

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec4 a = texture2D(iChannel0, uv);
    vec3 haze = vec3(0.72, 0.78, 0.86);
    vec3 col = mix(a.rgb, haze, 1.0 - exp(-a.a * 0.006));
    col = pow(col, vec3(0.9, 0.95, 1.0));
    col *= 0.6 + 0.4 * pow(16.0 * uv.x * uv.y * (1.0 - uv.x) * (1.0 - uv.y), 0.15);
    gl_FragColor = vec4(col, 1.0);
}

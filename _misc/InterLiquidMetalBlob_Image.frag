// Inter-liquid metal blob: buffer A tone-mapped, with a vignette.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer A

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec3 col = texture2D(iChannel0, max(uv, 2.5 / iResolution)).rgb; // the state texels are not picture
    col = 1.0 - exp(-col * 1.6);
    col *= 0.65 + 0.35 * pow(16.0 * uv.x * uv.y * (1.0 - uv.x) * (1.0 - uv.y), 0.2);
    gl_FragColor = vec4(col, 1.0);
}

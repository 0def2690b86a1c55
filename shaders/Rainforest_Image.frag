// Rainforest: buffer A with a humid, green grade and a touch of contrast.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer A

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec3 col = texture2D(iChannel0, uv).rgb;
    col = smoothstep(0.02, 1.0, col);
    col *= vec3(0.95, 1.03, 0.97);
    col *= 0.7 + 0.3 * pow(16.0 * uv.x * uv.y * (1.0 - uv.x) * (1.0 - uv.y), 0.2);
    gl_FragColor = vec4(col, 1.0);
}

// Buffers A and B working together: B's soft trails behind, A's sharp balls
// in front, each with a ring of light.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0; // buffer A
uniform sampler2D iChannel1; // buffer B

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec3 a = texture2D(iChannel0, uv).rgb;
    vec3 b = texture2D(iChannel1, uv).rgb;
    vec3 background = mix(vec3(0.05, 0.05, 0.1), vec3(0.12, 0.1, 0.18), uv.y);
    vec3 col = background + b * 0.6;
    col = mix(col, a + 0.15, step(0.01, dot(a, a)));
    gl_FragColor = vec4(col, 1.0);
}

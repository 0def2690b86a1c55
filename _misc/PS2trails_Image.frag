// PS2 trails: the motes and their trails over the deep blue of the console's
// start-up space, with faint towers of light far away.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0; // buffer A
uniform sampler2D iChannel1; // buffer B

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec3 space = mix(vec3(0.0, 0.02, 0.12), vec3(0.02, 0.08, 0.3), uv.y);
    float towers = smoothstep(0.2, 0.0, abs(fract(uv.x * 5.0 + 0.5) - 0.5)) * smoothstep(0.6, 0.0, uv.y) *
                   (0.5 + 0.5 * sin(iTime * 0.5 + floor(uv.x * 5.0)));
    vec3 col = space + vec3(0.1, 0.2, 0.5) * towers * 0.4;
    col += texture2D(iChannel1, uv).rgb * vec3(0.5, 0.7, 1.0) + texture2D(iChannel0, uv).rgb;
    gl_FragColor = vec4(1.0 - exp(-col * 1.2), 1.0);
}

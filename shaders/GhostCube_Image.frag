// Ghost cube: buffer A's glowing cube and its after-images, tinted cold, with
// a dim glow around the brightest lines.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer A

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec3 col = texture2D(iChannel0, uv).rgb;
    vec3 halo = texture2D(iChannel0, uv + vec2(0.01, 0.0)).rgb + texture2D(iChannel0, uv - vec2(0.01, 0.0)).rgb +
                texture2D(iChannel0, uv + vec2(0.0, 0.01)).rgb + texture2D(iChannel0, uv - vec2(0.0, 0.01)).rgb;
    col += halo * 0.08;
    col += vec3(0.02, 0.03, 0.06) * (1.0 - length(uv - 0.5));
    gl_FragColor = vec4(1.0 - exp(-col * 1.5), 1.0);
}

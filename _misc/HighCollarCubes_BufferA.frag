// High-collar cubes, buffer A: the finishing of C's cubes like an old
// lithograph print: warm paper tone, a vignette and fine grain. The pointer
// (while Alt is held) lights a spot.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform int iFrame;
uniform vec4 iMouse;
uniform sampler2D iChannel0; // buffer C, older frame

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec3 col = texture2D(iChannel0, uv).rgb;
    col = mix(col, col * vec3(1.05, 0.97, 0.85) + vec3(0.04, 0.03, 0.0), 0.6);
    col *= 0.55 + 0.45 * pow(16.0 * uv.x * uv.y * (1.0 - uv.x) * (1.0 - uv.y), 0.25);
    if (iMouse.z > 0.0)
        col += vec3(0.25, 0.2, 0.1) * smoothstep(0.25, 0.0, length((gl_FragCoord.xy - iMouse.xy) / iResolution.y));
    col += (fract(sin(dot(gl_FragCoord.xy + float(iFrame), vec2(12.9898, 78.233))) * 43758.5453) - 0.5) * 0.03;
    gl_FragColor = vec4(col, 1.0);
}

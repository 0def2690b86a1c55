// Buffers A to D working together, buffer D: A folded into a six-fold
// kaleidoscope, over its own fading previous frame in blues.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer A
uniform sampler2D iChannel1; // this buffer's previous frame

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    float a = atan(p.y, p.x);
    float seg = 6.28318 / 6.0;
    a = abs(mod(a, seg) - seg * 0.5);
    vec2 q = vec2(cos(a), sin(a)) * length(p) * iResolution.y / iResolution + 0.5;
    vec3 fold = texture2D(iChannel0, q).rgb;
    vec3 col = max(texture2D(iChannel1, uv).rgb * vec3(0.9, 0.93, 0.97), fold * vec3(0.6, 0.8, 1.0));
    col = mix(col, texture2D(iChannel0, uv).rgb, 0.5);
    gl_FragColor = vec4(col, 1.0);
}

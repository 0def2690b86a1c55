// Buffers A to D working together, buffer A: a bright spark circles the
// centre; behind it, an echo of buffer C (its older frame) turned a little, so
// the picture that C built comes round again.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform int iFrame;
uniform vec4 iMouse;
uniform sampler2D iChannel0; // buffer C, older frame

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    vec2 spark = vec2(cos(iTime * 1.3), sin(iTime * 1.9)) * 0.3;
    if (iMouse.z > 0.0)
        spark = (iMouse.xy - 0.5 * iResolution) / iResolution.y;
    vec3 col = vec3(1.0, 0.9, 0.6) * 0.002 / (dot(p - spark, p - spark) + 0.0015);
    float a = 0.05;
    vec2 q = (uv - 0.5) * mat2(cos(a), -sin(a), sin(a), cos(a)) + 0.5;
    col += texture2D(iChannel0, q).rgb * 0.45;
    gl_FragColor = vec4(col, 1.0);
}

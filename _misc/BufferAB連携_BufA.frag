// Buffers A and B working together, buffer A: three coloured balls circle one
// another, drawn sharp and afresh every frame.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform float iTimeDelta;
uniform int iFrame;

void main()
{
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    vec3 col = vec3(0.0);
    for (int i = 0; i < 3; ++i) {
        float fi = float(i);
        float a = iTime * (1.0 + 0.3 * fi) + fi * 2.094;
        vec2 c = vec2(cos(a), sin(a * 1.5)) * (0.25 + 0.08 * fi);
        vec3 tint = i == 0 ? vec3(1.0, 0.3, 0.2) : i == 1 ? vec3(0.2, 1.0, 0.4) : vec3(0.3, 0.5, 1.0);
        col += tint * smoothstep(0.07, 0.06, length(p - c));
    }
    gl_FragColor = vec4(col, 1.0);
}

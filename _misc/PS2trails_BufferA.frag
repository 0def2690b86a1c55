// PS2 trails, buffer A: bright motes on the paths of a console's start-up
// screen: they rise in a slow spiral through a deep blue space. Drawn afresh.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform float iTimeDelta;
uniform int iFrame;

void main()
{
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    vec3 col = vec3(0.0);
    for (int i = 0; i < 12; ++i) {
        float fi = float(i);
        float t = iTime * 0.35 + fi * 0.61;
        float height = fract(t * 0.2 + fi * 0.17) * 1.4 - 0.7;
        float a = t * 2.0 + fi;
        float depth = 0.6 + 0.4 * sin(a);
        vec2 c = vec2(cos(a) * 0.35 * depth, height + sin(a) * 0.05);
        float size = 0.012 * (0.5 + depth);
        col += mix(vec3(0.5, 0.7, 1.0), vec3(1.0), depth * 0.5) * size * size / (dot(p - c, p - c) + size * size * 0.3);
    }
    gl_FragColor = vec4(col, 1.0);
}

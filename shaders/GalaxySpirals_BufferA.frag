// Galaxy spirals, buffer A: a spiral galaxy turns, the inner stars faster than
// the outer ones. Each frame the previous picture is turned back by the
// rotation of its radius and dimmed, and newborn stars along the two arms are
// added, so every star draws a short arc.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform int iFrame;
uniform sampler2D iChannel0; // this buffer's previous frame

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(41.3, 289.1))) * 15743.5453);
}

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    float r = length(p);
    float spin = 0.03 / (0.15 + r); // radians per frame: differential rotation
    vec2 back = vec2(p.x * cos(spin) + p.y * sin(spin), -p.x * sin(spin) + p.y * cos(spin));
    vec3 previous = texture2D(iChannel0, back * iResolution.y / iResolution + 0.5).rgb * 0.94;
    if (iFrame == 0)
        previous = vec3(0.0);
    // Two logarithmic arms; stars are born where the arm density is high.
    float angle = atan(p.y, p.x) + iTime * 0.15;
    float arm = pow(0.5 + 0.5 * cos(2.0 * (angle - log(r + 0.02) * 2.2)), 6.0);
    vec2 cell = floor(gl_FragCoord.xy);
    float star = step(0.985 - arm * 0.05, Hash(cell + float(iFrame) * 0.37));
    vec3 tint = mix(vec3(0.6, 0.75, 1.0), vec3(1.0, 0.8, 0.55), smoothstep(0.5, 0.05, r));
    vec3 born = tint * star * smoothstep(0.55, 0.1, r) * 1.5;
    gl_FragColor = vec4(previous + born, 1.0);
}

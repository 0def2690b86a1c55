// Volcanic, buffer A: a field of black basalt with lichen on the ridges and
// rivers of lava glowing in the cracks, seen from low over the ground. Colour
// in rgb, the lava's glow in alpha for the image pass.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0; // RGBA noise
uniform sampler2D iChannel1; // lichen
uniform sampler2D iChannel2; // organic rock

float Height(vec2 p)
{
    float h = texture2D(iChannel0, p * 0.0025).r * 2.2 + texture2D(iChannel0, p * 0.009).g * 0.5;
    // Lava channels follow a line of the noise and lie low.
    float channel = abs(texture2D(iChannel0, p * 0.0012).b - 0.5);
    return h - smoothstep(0.08, 0.0, channel) * 0.9;
}

float Lava(vec2 p)
{
    float channel = abs(texture2D(iChannel0, p * 0.0012).b - 0.5);
    float flow = texture2D(iChannel0, p * 0.01 + vec2(0.0, iTime * 0.01)).a;
    return smoothstep(0.06, 0.0, channel) * (0.6 + 0.6 * flow);
}

void main()
{
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    vec3 ro = vec3(iTime * 0.8, 2.6, iTime * 1.5);
    vec3 rd = normalize(vec3(p.x, p.y - 0.35, 1.0));
    float d = 0.2;
    for (int i = 0; i < 40; ++i) {
        vec3 q = ro + rd * d;
        float h = q.y - Height(q.xz);
        if (h < 0.01 || d > 40.0)
            break;
        d += h * 0.7;
    }
    vec3 col = mix(vec3(0.35, 0.12, 0.08), vec3(0.12, 0.08, 0.1), clamp(p.y * 2.0 + 0.3, 0.0, 1.0)); // smoky sky
    float glow = 0.0;
    if (d < 40.0) {
        vec3 q = ro + rd * d;
        vec2 e = vec2(0.05, 0.0);
        vec3 n = normalize(vec3(Height(q.xz - e.xy) - Height(q.xz + e.xy), 2.0 * e.x,
                                Height(q.xz - e.yx) - Height(q.xz + e.yx)));
        vec3 rock = texture2D(iChannel2, q.xz * 0.15).rgb * vec3(0.3, 0.28, 0.28);
        vec3 lichen = texture2D(iChannel1, q.xz * 0.2).rgb;
        rock = mix(rock, lichen * 0.6, smoothstep(0.8, 0.95, n.y) * 0.5);
        float lava = Lava(q.xz);
        glow = lava;
        col = rock * (0.25 + 0.6 * max(dot(n, normalize(vec3(-0.3, 0.6, 0.5))), 0.0));
        col += vec3(1.0, 0.35, 0.05) * lava * 1.6;
        col = mix(col, vec3(0.3, 0.12, 0.08), 1.0 - exp(-d * 0.06));
    }
    gl_FragColor = vec4(col, glow);
}

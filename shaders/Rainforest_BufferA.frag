// Rainforest, buffer A: hills covered in a canopy of round treetops under
// drifting mist, raymarched with a jitter that changes every frame and blended
// into the previous frame, which smooths the edges over time.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform int iFrame;
uniform sampler2D iChannel0; // this buffer's previous frame

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(127.1, 311.7))) * 43758.5453);
}

float Noise(vec2 p)
{
    vec2 i = floor(p), f = fract(p);
    f = f * f * (3.0 - 2.0 * f);
    return mix(mix(Hash(i), Hash(i + vec2(1, 0)), f.x), mix(Hash(i + vec2(0, 1)), Hash(i + vec2(1, 1)), f.x), f.y);
}

float Ground(vec2 p)
{
    return 3.0 * Noise(p * 0.08) + 1.2 * Noise(p * 0.21);
}

// Ground plus bumps of treetops: one crown per cell.
float Height(vec2 p)
{
    vec2 c = floor(p * 0.5);
    vec2 f = fract(p * 0.5) - 0.5;
    float crown = max(0.0, 0.45 - dot(f, f) * 1.6) * (0.8 + 0.6 * Hash(c));
    return Ground(p) + crown * 2.4 + 0.8;
}

void main()
{
    vec2 jitter = vec2(Hash(vec2(float(iFrame), 1.0)), Hash(vec2(float(iFrame), 2.0))) - 0.5;
    vec2 p = (gl_FragCoord.xy + jitter - 0.5 * iResolution) / iResolution.y;
    vec3 ro = vec3(0.0, 6.5, iTime * 2.0);
    vec3 rd = normalize(vec3(p.x, p.y - 0.3, 1.0));
    float d = 0.5;
    float h = 1.0;
    for (int i = 0; i < 40; ++i) {
        vec3 q = ro + rd * d;
        h = q.y - Height(q.xz);
        if (h < 0.02 || d > 60.0)
            break;
        d += h * 0.6;
    }
    vec3 sky = mix(vec3(0.75, 0.8, 0.78), vec3(0.45, 0.6, 0.7), p.y + 0.3);
    vec3 col = sky;
    if (d < 60.0) {
        vec3 q = ro + rd * d;
        float e = 0.1;
        vec3 n = normalize(vec3(Height(q.xz - vec2(e, 0)) - Height(q.xz + vec2(e, 0)), 2.0 * e,
                                Height(q.xz - vec2(0, e)) - Height(q.xz + vec2(0, e))));
        vec3 leaf = mix(vec3(0.06, 0.2, 0.05), vec3(0.25, 0.45, 0.1), Hash(floor(q.xz * 0.5)));
        col = leaf * (0.35 + 0.9 * max(dot(n, normalize(vec3(0.4, 0.8, 0.2))), 0.0));
        float mist = 1.0 - exp(-d * 0.045);
        mist += 0.3 * Noise(q.xz * 0.15 + iTime * 0.2) * smoothstep(3.5, 1.0, q.y);
        col = mix(col, vec3(0.72, 0.78, 0.76), clamp(mist, 0.0, 1.0));
    }
    vec3 previous = texture2D(iChannel0, gl_FragCoord.xy / iResolution).rgb;
    gl_FragColor = vec4(iFrame == 0 ? col : mix(previous, col, 0.5), 1.0);
}

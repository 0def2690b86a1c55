// Sea: the open ocean at the end of the afternoon. Choppy waves run under a
// warm sky; the water mirrors the sky near the horizon and shows its deep
// green-blue below, with foam on the crests and the sun's path glittering.
// The mouse turns the view (left and right) and raises it (up and down).
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform vec2 iMouse;

varying vec2 vTexCoord;

const int MARCH_STEPS = 5;
const int TRACE_OCTAVES = 2;
const int SHADE_OCTAVES = 3;
const vec3 SUN = vec3(0.0, 0.22, 0.97);

// A pseudo-random value in [0, 1) for a lattice point, from products and
// fractions only: a sine per lattice corner would cost more than the waves.
float Hash(vec2 p)
{
    vec3 q = fract(vec3(p.x, p.y, p.x) * vec3(0.1173, 0.1359, 0.0917));
    q += dot(q, q.zxy + 21.37);
    return fract((q.x + q.z) * q.y);
}

float Noise(vec2 p)
{
    vec2 i = floor(p);
    vec2 f = fract(p);
    f = f * f * (3.0 - 2.0 * f);
    return -1.0 + 2.0 * mix(mix(Hash(i), Hash(i + vec2(1.0, 0.0)), f.x),
                            mix(Hash(i + vec2(0.0, 1.0)), Hash(i + 1.0), f.x), f.y);
}

// One octave of peaked waves.
float Octave(vec2 p, float chop)
{
    p += Noise(p);
    vec2 w = 1.0 - abs(sin(p));
    vec2 s = abs(cos(p));
    w = mix(w, s, w);
    return pow(1.0 - pow(w.x * w.y, 0.65), chop);
}

// Height of the sea at xz, with a number of octaves.
float Sea(vec2 p, int octaves)
{
    float t = iTime * 0.8;
    float freq = 0.16;
    float amp = 0.6;
    float chop = 4.0;
    float h = 0.0;
    mat2 turn = mat2(1.6, 1.2, -1.2, 1.6);
    for (int i = 0; i < SHADE_OCTAVES; ++i) {
        if (i >= octaves)
            break;
        float d = Octave((p + t) * freq, chop) + Octave((p - t) * freq, chop);
        h += d * amp;
        p = turn * p;
        freq *= 1.9;
        amp *= 0.22;
        chop = mix(chop, 1.0, 0.2);
    }
    return h;
}

vec3 Sky(vec3 dir)
{
    float y = max(dir.y, 0.0);
    vec3 sky = mix(vec3(0.95, 0.7, 0.45), vec3(0.25, 0.45, 0.75), pow(y, 0.5));
    float sun = max(dot(dir, normalize(SUN)), 0.0);
    sky += vec3(1.0, 0.75, 0.4) * pow(sun, 60.0) * 1.5 + vec3(1.0, 0.5, 0.2) * pow(sun, 6.0) * 0.35;
    return sky;
}

void main()
{
    vec2 uv = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    bool steered = iMouse.x + iMouse.y > 0.0;
    vec2 m = steered ? iMouse / iResolution - 0.5 : vec2(0.08 * sin(iTime * 0.1), 0.0);
    float yaw = m.x * 2.5;
    float height = 3.0 + 4.0 * clamp(m.y + 0.2, 0.0, 1.0);

    vec3 origin = vec3(0.0, height, iTime * 2.0);
    vec3 dir = normalize(vec3(uv.x, uv.y - 0.18, 1.0));
    dir.xz = mat2(cos(yaw), sin(yaw), -sin(yaw), cos(yaw)) * dir.xz;

    vec3 col;
    if (dir.y >= -0.01) {
        col = Sky(dir);
    } else {
        // March to the surface between the trough plane and the camera, then
        // refine by bisection between the last point above and the first below.
        float near = 0.0;
        float far = (height - 0.0) / -dir.y;
        float mid = far;
        for (int i = 0; i < MARCH_STEPS; ++i) {
            mid = 0.5 * (near + far);
            vec3 at = origin + dir * mid;
            if (at.y - Sea(at.xz, TRACE_OCTAVES) > 0.0)
                near = mid;
            else
                far = mid;
        }
        vec3 hit = origin + dir * mid;
        float e = 0.02 + mid * 0.002;
        float h = Sea(hit.xz, SHADE_OCTAVES);
        vec3 n = normalize(vec3(h - Sea(hit.xz + vec2(e, 0.0), SHADE_OCTAVES), e,
                                h - Sea(hit.xz + vec2(0.0, e), SHADE_OCTAVES)));
        float fresnel = clamp(1.0 - dot(n, -dir), 0.0, 1.0);
        fresnel = pow(fresnel, 3.0) * 0.65;
        vec3 reflected = Sky(reflect(dir, n));
        vec3 deep = vec3(0.0, 0.09, 0.18);
        vec3 body = deep + vec3(0.48, 0.54, 0.36) * 0.12 * pow(dot(n, normalize(SUN)) * 0.4 + 0.6, 80.0);
        col = mix(body, reflected, fresnel);
        col += vec3(0.48, 0.54, 0.36) * (hit.y - 0.6) * 0.18 * max(1.0 - mid / 60.0, 0.0); // light through crests
        col += vec3(1.0, 0.8, 0.55) * pow(max(dot(reflect(dir, n), normalize(SUN)), 0.0), 50.0) * 0.9;
        float haze = 1.0 - exp(-mid * 0.015);
        col = mix(col, Sky(vec3(dir.x, 0.02, dir.z)), haze);
    }
    gl_FragColor = vec4(pow(col, vec3(0.9)), 1.0);
}

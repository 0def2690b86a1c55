// A glass orb full of slow, cold smoke: rays through the sphere gather the
// density of a drifting 3D noise (brighter near the core, thinning at the
// shell), tinted from ice blue to violet. Outside, a faint halo and a rim
// light. The mouse turns the smoke inside the orb.
#version 120

uniform float iTime;
uniform vec2 iResolution;
uniform vec2 iMouse;

varying vec2 vTexCoord;

const int kSteps = 18;
const float kRadius = 1.0;

float Hash(vec3 p)
{
    p = fract(p * vec3(0.1127, 0.2713, 0.1931)) + 0.37;
    p += dot(p, p.yzx + 19.19);
    return fract(p.x * p.y * p.z * 91.7 + p.z);
}

float Noise(vec3 p)
{
    vec3 i = floor(p);
    vec3 f = fract(p);
    vec3 u = f * f * (3.0 - 2.0 * f);
    float a = mix(Hash(i), Hash(i + vec3(1.0, 0.0, 0.0)), u.x);
    float b = mix(Hash(i + vec3(0.0, 1.0, 0.0)), Hash(i + vec3(1.0, 1.0, 0.0)), u.x);
    float c = mix(Hash(i + vec3(0.0, 0.0, 1.0)), Hash(i + vec3(1.0, 0.0, 1.0)), u.x);
    float d = mix(Hash(i + vec3(0.0, 1.0, 1.0)), Hash(i + vec3(1.0, 1.0, 1.0)), u.x);
    return mix(mix(a, b, u.y), mix(c, d, u.y), u.z);
}

mat3 Turn(float yaw, float pitch)
{
    float cy = cos(yaw), sy = sin(yaw), cp = cos(pitch), sp = sin(pitch);
    return mat3(cy, 0.0, -sy, 0.0, 1.0, 0.0, sy, 0.0, cy) * mat3(1.0, 0.0, 0.0, 0.0, cp, sp, 0.0, -sp, cp);
}

// Smoke density at p inside the orb: two octaves, curled by time.
float Smoke(vec3 p)
{
    float t = iTime * 0.25;
    vec3 q = p * 2.2 + vec3(0.0, -t * 1.5, t);
    q.xz += 0.6 * vec2(sin(q.y * 1.3 + t), cos(q.y * 1.1 - t));
    float n = Noise(q) * 0.65 + Noise(q * 2.3 + 4.1) * 0.35;
    float core = 1.0 - length(p) / kRadius;
    return smoothstep(0.3, 0.75, n) * (0.4 + core * 1.6);
}

void main()
{
    vec2 uv = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    vec3 origin = vec3(0.0, 0.0, -3.0);
    vec3 dir = normalize(vec3(uv, 1.45));
    vec2 m = iMouse / max(iResolution, vec2(1.0)) - 0.5;
    mat3 turn = Turn(m.x * 4.0 + iTime * 0.1, m.y * 2.0);

    vec3 background = mix(vec3(0.015, 0.02, 0.04), vec3(0.05, 0.06, 0.1), uv.y + 0.5);
    // Where the ray meets the sphere (origin at the centre).
    float b = dot(origin, dir);
    float c = dot(origin, origin) - kRadius * kRadius;
    float h = b * b - c;
    float closest = length(origin - dir * b);
    vec3 colour = background + vec3(0.2, 0.3, 0.6) * 0.06 / max(closest - kRadius + 0.06, 0.02) * step(h, 0.0);
    if (h > 0.0) {
        float enter = -b - sqrt(h);
        float leave = -b + sqrt(h);
        float stepLength = (leave - enter) / float(kSteps);
        vec3 light = vec3(0.0);
        float transmit = 1.0;
        for (int i = 0; i < kSteps; ++i) {
            vec3 p = origin + dir * (enter + (float(i) + 0.5) * stepLength);
            float d = Smoke(turn * p) * stepLength * 5.0;
            vec3 tint = mix(vec3(0.55, 0.8, 1.0), vec3(0.6, 0.35, 0.95), clamp(length(p), 0.0, 1.0));
            light += transmit * d * tint;
            transmit *= 1.0 - clamp(d, 0.0, 1.0);
        }
        vec3 normal = normalize(origin + dir * enter);
        float rim = pow(1.0 - abs(dot(normal, dir)), 3.0);
        float glint = pow(max(dot(reflect(dir, normal), normalize(vec3(-0.5, 0.7, -0.5))), 0.0), 120.0);
        colour = background * transmit * 0.6 + light + rim * vec3(0.3, 0.45, 0.8) + glint * 0.6;
    }
    gl_FragColor = vec4(colour, 1.0);
}

// Monster: a glossy green blob with one big eye lurks in the forest clearing,
// breathing and waving its tentacles; its wet skin mirrors the trees.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform samplerCube iChannel0; // the forest

float Blend(float a, float b, float k)
{
    float h = clamp(0.5 + 0.5 * (b - a) / k, 0.0, 1.0);
    return mix(b, a, h) - k * h * (1.0 - h);
}

float Capsule(vec3 p, vec3 a, vec3 b, float r)
{
    vec3 ab = b - a;
    float h = clamp(dot(p - a, ab) / dot(ab, ab), 0.0, 1.0);
    return length(p - a - ab * h) - r;
}

// Distance, and which part: 0 skin, 1 eye white, 2 pupil.
float Scene(vec3 p, out float part)
{
    float breath = 1.0 + 0.05 * sin(iTime * 2.0);
    float body = length(p * vec3(1.0, 1.15, 1.0)) - 0.95 * breath;
    body += 0.04 * sin(p.x * 9.0 + iTime) * sin(p.y * 7.0) * sin(p.z * 8.0);
    for (int i = 0; i < 5; ++i) {
        float a = float(i) * 1.2566 + 0.3;
        vec3 root = vec3(cos(a) * 0.6, -0.5, sin(a) * 0.6);
        vec3 tip = root + vec3(cos(a) * 0.7, -0.6 + 0.3 * sin(iTime * 1.7 + float(i) * 2.0), sin(a) * 0.7);
        body = Blend(body, Capsule(p, root, tip, 0.12), 0.2);
    }
    vec3 eye = vec3(0.0, 0.25, -0.78);
    float white = length(p - eye) - 0.32;
    part = 0.0;
    if (white < body) {
        part = 1.0;
        vec3 look = normalize(vec3(0.35 * sin(iTime * 0.6), 0.2 * sin(iTime * 0.9), -1.0));
        if (dot(normalize(p - eye), look) > 0.9)
            part = 2.0;
    }
    return min(body, white);
}

void main()
{
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    vec3 ro = vec3(0.0, 0.1, -3.4);
    vec3 rd = normalize(vec3(p, 1.4));
    float d = 0.0, s = 1.0, part = 0.0;
    for (int i = 0; i < 48; ++i) {
        s = Scene(ro + rd * d, part);
        if (s < 0.002 || d > 8.0)
            break;
        d += s * 0.8;
    }
    vec3 col = textureCube(iChannel0, rd).rgb;
    if (s < 0.01) {
        vec3 q = ro + rd * d;
        vec2 e = vec2(0.003, 0.0);
        float unused;
        vec3 n = normalize(vec3(Scene(q + e.xyy, unused) - Scene(q - e.xyy, unused),
                                Scene(q + e.yxy, unused) - Scene(q - e.yxy, unused),
                                Scene(q + e.yyx, unused) - Scene(q - e.yyx, unused)));
        vec3 base = part > 1.5 ? vec3(0.02) : part > 0.5 ? vec3(0.95, 0.92, 0.85) : vec3(0.25, 0.6, 0.15);
        vec3 sun = normalize(vec3(0.55, 0.42, 0.72));
        float light = 0.3 + 0.7 * max(dot(n, sun), 0.0);
        float fresnel = 0.08 + 0.6 * pow(1.0 - max(dot(n, -rd), 0.0), 3.0);
        col = base * light + textureCube(iChannel0, reflect(rd, n)).rgb * fresnel;
        col += pow(max(dot(reflect(rd, n), sun), 0.0), 50.0) * 0.8;
    }
    gl_FragColor = vec4(col, 1.0);
}

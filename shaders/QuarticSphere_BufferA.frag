// Quartic sphere, buffer A: the rounded cube x^4 + y^4 + z^4 = 1 (a sphere in
// the fourth-power norm) of polished enamel, turning over a checkered floor.
// Every frame the camera ray is jittered inside the pixel and blended into the
// previous frame, which smooths the silhouette.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform int iFrame;
uniform sampler2D iChannel0; // this buffer's previous frame

float Quartic(vec3 p)
{
    vec3 q = p * p;
    // The fourth-power norm minus the radius, scaled to roughly a distance.
    return (pow(dot(q, q), 0.25) - 1.0) * 0.8;
}

float Scene(vec3 p, out int id)
{
    float a = iTime * 0.6;
    mat3 r = mat3(cos(a), 0.0, sin(a), 0.0, 1.0, 0.0, -sin(a), 0.0, cos(a)) *
             mat3(1.0, 0.0, 0.0, 0.0, cos(a * 0.7), -sin(a * 0.7), 0.0, sin(a * 0.7), cos(a * 0.7));
    float body = Quartic(r * p);
    float floorPlane = p.y + 1.5;
    id = body < floorPlane ? 1 : 2;
    return min(body, floorPlane);
}

void main()
{
    vec2 jitter = fract(vec2(float(iFrame) * 0.618, float(iFrame) * 0.382)) - 0.5;
    vec2 p = (gl_FragCoord.xy + jitter - 0.5 * iResolution) / iResolution.y;
    vec3 ro = vec3(0.0, 0.6, -4.0);
    vec3 rd = normalize(vec3(p, 1.5));
    float d = 0.0;
    int id = 0;
    for (int i = 0; i < 48; ++i) {
        float s = Scene(ro + rd * d, id);
        if (s < 0.002 || d > 20.0)
            break;
        d += s;
    }
    vec3 light = normalize(vec3(-0.5, 0.8, -0.4));
    vec3 col = mix(vec3(0.85, 0.9, 1.0), vec3(0.35, 0.5, 0.8), rd.y * 0.5 + 0.5);
    if (d < 20.0) {
        vec3 q = ro + rd * d;
        vec2 e = vec2(0.002, 0.0);
        int unused;
        vec3 n = normalize(vec3(Scene(q + e.xyy, unused) - Scene(q - e.xyy, unused),
                                Scene(q + e.yxy, unused) - Scene(q - e.yxy, unused),
                                Scene(q + e.yyx, unused) - Scene(q - e.yyx, unused)));
        float diffuse = max(dot(n, light), 0.0);
        if (id == 1) {
            float spec = pow(max(dot(reflect(rd, n), light), 0.0), 40.0);
            col = vec3(0.85, 0.15, 0.12) * (0.2 + 0.8 * diffuse) + spec;
        } else {
            float check = mod(floor(q.x) + floor(q.z), 2.0);
            float shadow = smoothstep(0.3, 1.6, length(q.xz - vec2(0.3, -0.2)));
            col = mix(vec3(0.9), vec3(0.3), check) * (0.4 + 0.6 * diffuse * shadow);
            col = mix(col, vec3(0.7, 0.75, 0.85), 1.0 - exp(-d * 0.06));
        }
    }
    vec3 previous = texture2D(iChannel0, gl_FragCoord.xy / iResolution).rgb;
    gl_FragColor = vec4(iFrame == 0 ? col : mix(previous, col, 0.4), 1.0);
}

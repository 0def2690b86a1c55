// Elevated, buffer A: a flight over a range of snowy mountains. The terrain is
// a ridged sum of the gray noise texture; the camera glides along a valley.
// Colour in rgb, distance in alpha for the image pass's haze.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0; // gray noise

float Terrain(vec2 p, int octaves)
{
    float h = 0.0, a = 0.55;
    for (int i = 0; i < 5; ++i) {
        if (i >= octaves)
            break;
        float n = texture2D(iChannel0, p * 0.00015).r;
        h += a * (1.0 - abs(n * 2.0 - 1.0)); // ridges
        a *= 0.42;
        p = mat2(1.6, -1.2, 1.2, 1.6) * p;
    }
    return h * 48.0 - 16.0;
}

void main()
{
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    float t = iTime * 6.0;
    vec3 ro = vec3(20.0 * sin(iTime * 0.1), 0.0, t);
    ro.y = 34.0 + 4.0 * sin(iTime * 0.2);
    vec3 fw = normalize(vec3(sin(iTime * 0.1 + 0.3) * 0.4, -0.2, 1.0));
    vec3 rt = normalize(cross(vec3(0.0, 1.0, 0.0), fw));
    vec3 rd = normalize(fw + p.x * rt + p.y * cross(fw, rt));
    float d = 1.0;
    bool hit = false;
    for (int i = 0; i < 48; ++i) {
        vec3 q = ro + rd * d;
        float h = q.y - Terrain(q.xz, 3);
        if (h < 0.02 * d) {
            hit = true;
            break;
        }
        d += max(h * 0.45, 0.2 + d * 0.01);
        if (d > 260.0)
            break;
    }
    vec3 sun = normalize(vec3(0.6, 0.45, 0.3));
    vec3 sky = mix(vec3(0.75, 0.82, 0.9), vec3(0.28, 0.48, 0.8), clamp(rd.y * 2.5, 0.0, 1.0));
    vec3 col = sky + vec3(1.0, 0.8, 0.5) * pow(max(dot(rd, sun), 0.0), 24.0) * 0.5;
    if (hit) {
        vec3 q = ro + rd * d;
        vec2 e = vec2(0.6, 0.0);
        vec3 n = normalize(vec3(Terrain(q.xz - e.xy, 4) - Terrain(q.xz + e.xy, 4), 2.0 * e.x,
                                Terrain(q.xz - e.yx, 4) - Terrain(q.xz + e.yx, 4)));
        float snow = smoothstep(0.55, 0.8, n.y) * smoothstep(6.0, 20.0, q.y);
        vec3 rock = mix(vec3(0.32, 0.27, 0.22), vec3(0.45, 0.4, 0.3), texture2D(iChannel0, q.xz * 0.004).r);
        vec3 albedo = mix(rock, vec3(0.95), snow);
        col = albedo * (max(dot(n, sun), 0.0) * vec3(1.1, 1.0, 0.9) + vec3(0.18, 0.22, 0.3));
    } else {
        d = 260.0;
    }
    gl_FragColor = vec4(col, d);
}

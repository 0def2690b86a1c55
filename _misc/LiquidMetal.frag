// Liquid metal: four drops of mercury melt into one another and pull apart
// again, mirroring the forest around them (the cube map).
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform samplerCube iChannel0; // the forest

float Blend(float a, float b, float k)
{
    float h = clamp(0.5 + 0.5 * (b - a) / k, 0.0, 1.0);
    return mix(b, a, h) - k * h * (1.0 - h);
}

float Scene(vec3 p)
{
    float d = 10.0;
    for (int i = 0; i < 4; ++i) {
        float fi = float(i);
        vec3 c = vec3(sin(iTime * 0.7 + fi * 1.7), cos(iTime * 0.9 + fi * 2.3), sin(iTime * 0.5 + fi * 4.1)) * 0.75;
        d = Blend(d, length(p - c) - 0.45 - 0.08 * fi, 0.45);
    }
    return d;
}

void main()
{
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    float a = iTime * 0.2;
    vec3 ro = vec3(3.2 * sin(a), 0.4, -3.2 * cos(a));
    vec3 fw = normalize(-ro), rt = normalize(cross(vec3(0, 1, 0), fw)), up = cross(fw, rt);
    vec3 rd = normalize(fw * 1.6 + rt * p.x + up * p.y);
    float d = 0.0;
    float s = 1.0;
    for (int i = 0; i < 48; ++i) {
        s = Scene(ro + rd * d);
        if (s < 0.002 || d > 8.0)
            break;
        d += s;
    }
    vec3 col = textureCube(iChannel0, rd).rgb;
    if (s < 0.01) {
        vec3 q = ro + rd * d;
        vec2 e = vec2(0.002, 0.0);
        vec3 n = normalize(vec3(Scene(q + e.xyy) - Scene(q - e.xyy), Scene(q + e.yxy) - Scene(q - e.yxy),
                                Scene(q + e.yyx) - Scene(q - e.yyx)));
        vec3 r = reflect(rd, n);
        float fresnel = 0.65 + 0.35 * pow(1.0 - max(dot(n, -rd), 0.0), 4.0);
        col = textureCube(iChannel0, r).rgb * vec3(0.92, 0.94, 1.0) * fresnel;
        col += pow(max(dot(r, normalize(vec3(0.55, 0.42, 0.72))), 0.0), 60.0);
    }
    gl_FragColor = vec4(col, 1.0);
}

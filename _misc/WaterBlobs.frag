// Water blobs: clear drops of water float in the forest clearing, each one
// bending the view behind it; the pointer pushes the drops aside.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform vec2 iMouse;
uniform samplerCube iChannel0; // the forest

float Blend(float a, float b, float k)
{
    float h = clamp(0.5 + 0.5 * (b - a) / k, 0.0, 1.0);
    return mix(b, a, h) - k * h * (1.0 - h);
}

vec3 Push()
{
    vec2 m = iMouse / iResolution - 0.5;
    return vec3(m * 2.0, 0.0) * step(0.001, dot(iMouse, iMouse));
}

float Scene(vec3 p)
{
    float d = 10.0;
    for (int i = 0; i < 5; ++i) {
        float fi = float(i);
        vec3 c = vec3(sin(iTime * 0.5 + fi * 2.4) * 1.1, sin(iTime * 0.8 + fi * 1.3) * 0.6,
                      cos(iTime * 0.4 + fi * 3.1) * 0.7);
        vec3 away = c - Push();
        c += normalize(away + 1e-4) * 0.5 / (1.0 + dot(away, away) * 4.0);
        d = Blend(d, length(p - c) - 0.3 - 0.05 * fi, 0.35);
    }
    return d;
}

void main()
{
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    vec3 ro = vec3(0.0, 0.0, -3.0);
    vec3 rd = normalize(vec3(p, 1.3));
    float d = 0.0, s = 1.0;
    for (int i = 0; i < 40; ++i) {
        s = Scene(ro + rd * d);
        if (s < 0.002 || d > 7.0)
            break;
        d += s;
    }
    vec3 col = textureCube(iChannel0, rd).rgb;
    if (s < 0.01) {
        vec3 q = ro + rd * d;
        vec2 e = vec2(0.003, 0.0);
        vec3 n = normalize(vec3(Scene(q + e.xyy) - Scene(q - e.xyy), Scene(q + e.yxy) - Scene(q - e.yxy),
                                Scene(q + e.yyx) - Scene(q - e.yyx)));
        vec3 through = textureCube(iChannel0, refract(rd, n, 0.75)).rgb;
        vec3 mirror = textureCube(iChannel0, reflect(rd, n)).rgb;
        float fresnel = 0.05 + 0.95 * pow(1.0 - max(dot(n, -rd), 0.0), 5.0);
        col = mix(through * vec3(0.85, 0.95, 1.0), mirror, fresnel);
        col += pow(max(dot(reflect(rd, n), normalize(vec3(0.55, 0.42, 0.72))), 0.0), 80.0);
    }
    gl_FragColor = vec4(col, 1.0);
}

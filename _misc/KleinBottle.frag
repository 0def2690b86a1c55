// Klein bottle: the figure-eight Klein bottle, a surface with one side only,
// in smoked glass, turning in the forest. The surface is the zero set of a
// polynomial: the ray walks in even steps until the sign changes and then
// halves its way onto the surface. The pointer turns the bottle.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform vec2 iMouse;
uniform samplerCube iChannel0; // the forest

float Klein(vec3 p)
{
    float r2 = dot(p, p);
    float a = r2 + 2.0 * p.y - 1.0;
    float b = r2 - 2.0 * p.y - 1.0;
    return a * (b * b - 8.0 * p.z * p.z) + 16.0 * p.x * p.z * b;
}

mat3 Turn(float yaw, float pitch)
{
    return mat3(cos(yaw), 0.0, sin(yaw), 0.0, 1.0, 0.0, -sin(yaw), 0.0, cos(yaw)) *
           mat3(1.0, 0.0, 0.0, 0.0, cos(pitch), -sin(pitch), 0.0, sin(pitch), cos(pitch));
}

void main()
{
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    vec2 m = iMouse / iResolution - 0.5;
    mat3 r = Turn(iTime * 0.3 + m.x * 4.0, 0.4 + m.y * 2.0);
    vec3 ro = r * vec3(0.0, 0.0, -6.5);
    vec3 rd = r * normalize(vec3(p, 1.4));
    vec3 col = textureCube(iChannel0, rd).rgb;
    // Only where the ray passes the bottle's bounding sphere.
    float b = dot(ro, rd), h = b * b - dot(ro, ro) + 10.0;
    if (h > 0.0) {
        float t = -b - sqrt(h), end = -b + sqrt(h);
        float step = (end - t) / 72.0;
        float previous = Klein(ro + rd * t);
        bool hit = false;
        for (int i = 0; i < 72; ++i) {
            float value = Klein(ro + rd * (t + step));
            if (sign(value) != sign(previous)) {
                hit = true;
                break;
            }
            previous = value;
            t += step;
        }
        if (hit) {
            float lo = t, hi = t + step;
            for (int i = 0; i < 6; ++i) {
                float mid = 0.5 * (lo + hi);
                if (sign(Klein(ro + rd * mid)) == sign(previous))
                    lo = mid;
                else
                    hi = mid;
            }
            vec3 q = ro + rd * lo;
            vec2 e = vec2(0.002, 0.0);
            vec3 n = normalize(vec3(Klein(q + e.xyy) - Klein(q - e.xyy), Klein(q + e.yxy) - Klein(q - e.yxy),
                                    Klein(q + e.yyx) - Klein(q - e.yyx)));
            n *= -sign(dot(n, rd)); // one side only: face the viewer
            float fresnel = 0.15 + 0.85 * pow(1.0 - abs(dot(n, rd)), 3.0);
            vec3 glass = mix(col * vec3(0.55, 0.75, 0.8), textureCube(iChannel0, reflect(rd, n)).rgb, fresnel);
            col = glass + vec3(0.05, 0.12, 0.14) * (0.5 + 0.5 * n.y);
        }
    }
    gl_FragColor = vec4(col, 1.0);
}

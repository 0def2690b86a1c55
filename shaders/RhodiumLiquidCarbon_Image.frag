// Rhodium liquid carbon: buffer A's waves as a black, mirror-like metal that
// reflects a bright studio sky in its ripples, with a cool rhodium sheen.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer A: heights

vec3 Studio(vec3 d)
{
    // Soft boxes above, a dark floor, a warm rim on one side.
    float box = smoothstep(0.6, 0.9, d.y) * (0.6 + 0.4 * step(0.5, fract(d.x * 2.0 + 0.25)));
    return vec3(0.05, 0.05, 0.06) + vec3(0.9, 0.95, 1.0) * box + vec3(0.6, 0.35, 0.2) * smoothstep(0.5, 1.0, d.x);
}

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 px = 1.0 / iResolution;
    float h = texture2D(iChannel0, uv).r;
    float hx = texture2D(iChannel0, uv + vec2(px.x, 0.0)).r - h;
    float hy = texture2D(iChannel0, uv + vec2(0.0, px.y)).r - h;
    vec3 n = normalize(vec3(-hx * 6.0, -hy * 6.0, 1.0));
    vec3 view = normalize(vec3((uv - 0.5) * 0.6, -1.0));
    vec3 r = reflect(view, n);
    vec3 col = Studio(vec3(r.x, -r.z * 0.6 + r.y, r.y)) * vec3(0.85, 0.88, 0.95);
    float fresnel = 0.3 + 0.7 * pow(1.0 - max(dot(n, -view), 0.0), 3.0);
    col = col * (0.35 + fresnel) + vec3(0.02) * h;
    gl_FragColor = vec4(col, 1.0);
}

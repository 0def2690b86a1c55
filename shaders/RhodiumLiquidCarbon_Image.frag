// Rhodium liquid carbon: buffer A's waves as a black, mirror-like metal that
// reflects a bright studio sky in its ripples, with a cool rhodium sheen.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer A: heights

// The studio above the pool, seen in a reflected direction (z towards the
// viewer): two long soft boxes, a warm lamp to one side, dark walls.
vec3 Studio(vec3 d)
{
    vec2 s = d.xy / max(d.z, 0.2);
    float boxes = smoothstep(0.12, 0.08, abs(abs(s.x) - 0.45)) * smoothstep(1.2, 0.9, abs(s.y));
    float lamp = 0.06 / (0.02 + dot(s - vec2(-0.9, 0.6), s - vec2(-0.9, 0.6)));
    return vec3(0.04, 0.045, 0.05) + vec3(0.85, 0.9, 1.0) * boxes + vec3(1.0, 0.6, 0.3) * lamp * 0.3 +
           vec3(0.12, 0.13, 0.15) * (1.0 - abs(s.y) * 0.5);
}

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 px = 1.0 / iResolution;
    float h = texture2D(iChannel0, uv).r;
    float hx = texture2D(iChannel0, uv + vec2(px.x, 0.0)).r - h;
    float hy = texture2D(iChannel0, uv + vec2(0.0, px.y)).r - h;
    vec3 n = normalize(vec3(-hx * 10.0, -hy * 10.0, 1.0));
    vec3 view = normalize(vec3((uv - 0.5) * 0.8, -1.0));
    vec3 r = reflect(view, n);
    vec3 col = Studio(r) * vec3(0.85, 0.88, 0.95);
    float fresnel = 0.3 + 0.7 * pow(1.0 - max(dot(n, -view), 0.0), 3.0);
    col = col * (0.35 + fresnel) + vec3(0.02) * h;
    gl_FragColor = vec4(col, 1.0);
}

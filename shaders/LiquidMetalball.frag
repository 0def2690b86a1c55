// Liquid Metalball: blobs of quicksilver drift over the desktop, melt into one
// another and part again. Each blob is a mirror: it shows the desktop bent
// round its curve, with a bright rim of light and a dark edge, and casts a
// soft shadow on the dimmed desktop behind.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0;

varying vec2 vTexCoord;

const int BALLS = 6;

vec2 BallCentre(int i, float t)
{
    float fi = float(i);
    return vec2(0.5 + 0.3 * sin(t * (0.5 + 0.13 * fi) + fi * 1.7), 0.5 + 0.3 * cos(t * (0.43 + 0.11 * fi) + fi * 2.9));
}

float BallRadius(int i)
{
    return 0.065 + 0.018 * mod(float(i) * 3.0, 4.0);
}

// Field value at p and its gradient (sum of r^2 / d^2).
vec3 Field(vec2 p, float t)
{
    float f = 0.0;
    vec2 g = vec2(0.0);
    for (int i = 0; i < BALLS; ++i) {
        vec2 d = p - BallCentre(i, t);
        float r = BallRadius(i);
        float dd = dot(d, d) + 1e-4;
        f += r * r / dd;
        g += -2.0 * r * r * d / (dd * dd);
    }
    return vec3(f, g);
}

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    float aspect = iResolution.x / iResolution.y;
    vec2 p = vec2(uv.x * aspect, uv.y);
    float t = iTime * 0.8;

    vec3 field = Field(p, t);
    vec3 shadow = Field(p - vec2(-0.03, 0.045), t);
    vec3 back = texture2D(iChannel0, uv).rgb * 0.55;
    back *= 1.0 - 0.45 * smoothstep(0.6, 1.2, shadow.x);

    float px = 1.5 / iResolution.y;
    float edge = (field.x - 1.0) / max(length(field.yz), 1e-3); // distance inside, roughly
    float cover = smoothstep(-px, px, edge);
    if (cover <= 0.0) {
        gl_FragColor = vec4(back, 1.0);
        return;
    }
    // Normal: flat inside, tipped outward towards the rim.
    vec2 slope = -field.yz / max(field.x, 1e-3);
    vec3 n = normalize(vec3(slope * 0.09, 1.0));
    vec3 view = vec3(0.0, 0.0, 1.0);
    vec3 r = reflect(-view, n);
    // The desktop seen in the mirror, squeezed towards the rim.
    vec3 mirrored = texture2D(iChannel0, uv - r.xy * 0.35).rgb;
    float fresnel = pow(1.0 - n.z, 2.0);
    vec3 metal = mirrored * vec3(0.8, 0.83, 0.88) * (0.75 + 0.25 * n.z);
    vec3 light1 = normalize(vec3(-0.5, 0.7, 0.6));
    vec3 light2 = normalize(vec3(0.7, -0.4, 0.5));
    float spec = pow(max(dot(r, light1), 0.0), 40.0) + 0.5 * pow(max(dot(r, light2), 0.0), 20.0);
    metal += vec3(1.0, 0.98, 0.95) * spec + vec3(0.55, 0.6, 0.7) * fresnel * 0.6;
    metal *= 1.0 - 0.55 * smoothstep(0.2, 0.0, edge * 8.0); // dark line at the rim
    gl_FragColor = vec4(mix(back, metal, cover), 1.0);
}

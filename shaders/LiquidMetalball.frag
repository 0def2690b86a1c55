// Liquid Metalball: blobs of quicksilver drift over the dimmed desktop, melt
// into one another and part again. Each blob is a curved mirror: a bright
// studio sky above its horizon, the desktop's colours bent round it below, a
// hard highlight, a dark edge, and a soft shadow on the desktop behind.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0;

varying vec2 vTexCoord;

const int BALLS = 6;

vec2 BallCentre(int i, float t)
{
    float fi = float(i);
    return vec2(0.5 + 0.33 * sin(t * (0.5 + 0.13 * fi) + fi * 1.7), 0.5 + 0.33 * cos(t * (0.43 + 0.11 * fi) + fi * 2.9));
}

float BallRadius(int i)
{
    return 0.07 + 0.018 * mod(float(i) * 3.0, 4.0);
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

// What the mirror shows in direction r: a studio sky above, the desktop's
// colours blurred into the floor below.
vec3 Surroundings(vec3 r, vec2 uv)
{
    vec3 desk = texture2D(iChannel0, uv + r.xy * 0.3).rgb;
    vec3 sky = mix(vec3(0.75, 0.8, 0.88), vec3(1.0), smoothstep(0.0, 0.8, r.y));
    vec3 floor_ = desk * 0.75;
    return mix(floor_, sky, smoothstep(-0.05, 0.12, r.y));
}

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    float aspect = iResolution.x / iResolution.y;
    vec2 p = vec2(uv.x * aspect, uv.y);
    float t = iTime * 0.8;

    vec3 field = Field(p, t);
    vec3 shadow = Field(p - vec2(-0.03, 0.04), t);
    vec3 back = texture2D(iChannel0, uv).rgb * 0.6;
    back *= 1.0 - 0.5 * smoothstep(0.5, 1.1, shadow.x);

    float px = 1.5 / iResolution.y;
    float edge = (field.x - 1.0) / max(length(field.yz), 1e-3); // distance inside, roughly
    float cover = smoothstep(-px, px, edge);
    if (cover <= 0.0) {
        gl_FragColor = vec4(back, 1.0);
        return;
    }
    // Normal: upright in the middle of a blob, tipping over towards its rim.
    vec2 slope = -field.yz / max(field.x * field.x, 1e-3);
    float tip = 1.0 - smoothstep(0.0, 0.03, edge);
    vec3 n = normalize(vec3(normalize(slope + 1e-5) * (length(slope) * 0.06 + tip * 1.5), 1.0));
    vec3 r = reflect(vec3(0.0, 0.0, -1.0), n);
    vec3 metal = Surroundings(r, uv) * vec3(0.86, 0.88, 0.92);
    vec3 light = normalize(vec3(-0.45, 0.6, 0.65));
    float spec = pow(max(dot(r, light), 0.0), 50.0);
    metal += vec3(1.0) * spec * 1.2;
    metal *= 0.35 + 0.65 * smoothstep(0.9, 0.3, tip); // dark line round the rim
    gl_FragColor = vec4(mix(back, metal, cover), 1.0);
}

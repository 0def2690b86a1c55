// Open sea under an evening sky: a height field of crossing swells, marched
// from a camera a few metres above the water. Crests are sharpened sines, so
// the surface carries ridges rather than round bumps; the water mixes a deep
// body colour with the reflected sky by a Fresnel term and a hot sun glint.
// The mouse turns the camera (x) and tilts it (y).
#version 120

uniform float iTime;
uniform vec2 iResolution;
uniform vec2 iMouse;

varying vec2 vTexCoord;

const int kMarchSteps = 28;
const float kFar = 60.0;
const vec3 kSunDir = vec3(0.0, 0.28, 0.96);

// One swell along direction d: a sine folded upwards into a sharp crest.
float Swell(vec2 p, vec2 d, float frequency, float speed)
{
    float s = sin(dot(p, d) * frequency + iTime * speed);
    return 1.0 - sqrt(1.0 - 0.5 * (s + 1.0) * 0.96);
}

// Height of the sea at p; octaves rotate and shrink, the finest ones only for shading.
float Sea(vec2 p, int octaves)
{
    float h = 0.0;
    float amplitude = 0.55;
    float frequency = 0.32;
    mat2 turn = mat2(0.8, 0.6, -0.6, 0.8);
    for (int i = 0; i < 5; ++i) {
        if (i >= octaves)
            break;
        h += amplitude * (Swell(p, vec2(1.0, 0.2), frequency, 1.1) + Swell(p, vec2(-0.3, 1.0), frequency * 1.3, 0.9));
        p = turn * p * 1.9 + vec2(3.1, 1.7);
        amplitude *= 0.42;
        frequency *= 1.1;
    }
    return h;
}

vec3 Sky(vec3 dir)
{
    float up = max(dir.y, 0.0);
    vec3 sky = mix(vec3(0.95, 0.62, 0.42), vec3(0.16, 0.28, 0.55), pow(up, 0.45));
    float sun = max(dot(dir, kSunDir), 0.0);
    sky += vec3(1.0, 0.75, 0.45) * (pow(sun, 12.0) * 0.35 + pow(sun, 600.0) * 2.0);
    return sky;
}

// Distance along the ray to the surface, or -1 when it reaches the far limit.
float March(vec3 origin, vec3 dir)
{
    float t = 0.0;
    float previousT = 0.0;
    float previousGap = origin.y - Sea(origin.xz, 3);
    for (int i = 0; i < kMarchSteps; ++i) {
        t += max(0.08, previousGap * 0.6) + t * 0.04;
        vec3 p = origin + dir * t;
        float gap = p.y - Sea(p.xz, 3);
        if (gap < 0.0) {
            // Between the last step above the water and this one below it.
            return mix(previousT, t, previousGap / (previousGap - gap));
        }
        if (t > kFar)
            return -1.0;
        previousT = t;
        previousGap = gap;
    }
    return -1.0;
}

vec3 Normal(vec2 p, float eps)
{
    float h = Sea(p, 5);
    return normalize(vec3(h - Sea(p + vec2(eps, 0.0), 5), eps, h - Sea(p + vec2(0.0, eps), 5)));
}

void main()
{
    vec2 uv = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    float yaw = iMouse.x / max(iResolution.x, 1.0) * 2.0 - 1.0 + 0.05 * sin(iTime * 0.1);
    float pitch = -0.12 - 0.15 * (iMouse.y / max(iResolution.y, 1.0));
    vec3 origin = vec3(iTime * 0.6, 2.2, iTime * 1.5);
    vec3 forward = normalize(vec3(sin(yaw), pitch, cos(yaw)));
    vec3 right = normalize(cross(vec3(0.0, 1.0, 0.0), forward));
    vec3 up = cross(forward, right);
    vec3 dir = normalize(forward * 1.4 + right * uv.x + up * uv.y);

    vec3 colour = Sky(dir);
    float t = dir.y < 0.05 ? March(origin, dir) : -1.0;
    if (t > 0.0) {
        vec3 p = origin + dir * t;
        vec3 n = Normal(p.xz, 0.02 + t * 0.002);
        float fresnel = pow(1.0 - max(dot(n, -dir), 0.0), 3.0) * 0.7;
        vec3 body = mix(vec3(0.02, 0.09, 0.14), vec3(0.1, 0.3, 0.3), max(p.y * 0.6, 0.0));
        vec3 water = mix(body, Sky(reflect(dir, n)), fresnel);
        water += vec3(1.0, 0.85, 0.6) * pow(max(dot(reflect(dir, n), kSunDir), 0.0), 80.0);
        float haze = 1.0 - exp(-t * 0.04);
        colour = mix(water, Sky(vec3(dir.x, 0.0, dir.z)), haze);
    }
    gl_FragColor = vec4(pow(colour, vec3(0.9)), 1.0);
}

// Old watch: a gold pocket watch lies on a wooden table in a gallery. The case
// and the domed glass mirror the gallery (the cube map); the dial is buffer A
// with the glow of buffer B; the hands show the local time (iDate). Holding Alt
// and moving the pointer tilts the light.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform vec4 iDate;
uniform vec3 iMouse;
uniform int iFrame;
uniform samplerCube iChannel0; // the gallery
uniform sampler2D iChannel1;   // wood
uniform sampler2D iChannel2;   // buffer A: dial
uniform sampler2D iChannel3;   // buffer B: glow

const float kDial = 0.4;
const float kCase = 0.47;

float Segment(vec2 p, vec2 a, vec2 b)
{
    vec2 ab = b - a;
    float h = clamp(dot(p - a, ab) / dot(ab, ab), 0.0, 1.0);
    return length(p - a - ab * h);
}

float Hand(vec2 p, float turns, float length_, float width)
{
    float a = turns * 6.28318;
    vec2 dir = vec2(sin(a), cos(a));
    return smoothstep(width, width * 0.4, Segment(p, -dir * length_ * 0.18, dir * length_));
}

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    float r = length(p);
    vec2 tilt = iMouse.z > 0.0 ? (iMouse.xy / iResolution - 0.5) * 0.8 : vec2(0.0);
    vec3 view = normalize(vec3(tilt, 1.0));
    // The table, with the watch's shadow.
    vec3 col = texture2D(iChannel1, p * 0.8 + 0.5).rgb * 0.8;
    col *= 0.55 + 0.45 * smoothstep(kCase * 0.9, kCase * 1.25, length(p - vec2(0.03, -0.04)));
    if (r < kCase) {
        if (r > kDial) {
            // Gold case: a rounded bevel, its normal leaning outwards.
            float t = (r - kDial) / (kCase - kDial);
            vec3 n = normalize(vec3(p / r * (t * 2.0 - 0.4), 1.0));
            vec3 env = textureCube(iChannel0, reflect(-view, n).xzy).rgb;
            col = env * vec3(1.0, 0.78, 0.4) * 1.1 + vec3(0.15, 0.1, 0.02);
            col *= 0.8 + 0.2 * sin(atan(p.y, p.x) * 120.0) * step(0.8, t); // milled edge
        } else {
            col = texture2D(iChannel2, uv).rgb + vec3(0.35, 0.55, 0.3) * texture2D(iChannel3, uv).r;
            float seconds = iDate.w;
            float hands = max(Hand(p, seconds / 43200.0, kDial * 0.5, 0.012), Hand(p, seconds / 3600.0, kDial * 0.78, 0.008));
            col = mix(col, vec3(0.05, 0.05, 0.12), hands);
            // Small seconds hand, blued steel and a jewel in the middle.
            col = mix(col, vec3(0.1, 0.15, 0.45), Hand(p, floor(seconds) / 60.0, kDial * 0.85, 0.004));
            col = mix(col, vec3(0.7, 0.05, 0.1), smoothstep(0.018, 0.012, r));
            // Domed glass: a faint reflection of the gallery and a highlight.
            vec3 n = normalize(vec3(p * 1.4, 1.0));
            col += textureCube(iChannel0, reflect(-view, n).xzy).rgb * 0.12;
            col += pow(max(dot(reflect(-view, n), normalize(vec3(-0.4 + tilt.x, 0.5 + tilt.y, 0.8))), 0.0), 60.0) * 0.6;
        }
    } else if (r < kCase + 0.06 && abs(p.x) < 0.05 && p.y > 0.0) {
        // The crown.
        col = vec3(0.75, 0.58, 0.25) * (0.7 + 0.3 * sin(p.x * 300.0));
    }
    gl_FragColor = vec4(col, 1.0);
}

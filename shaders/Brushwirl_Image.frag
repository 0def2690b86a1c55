// Brushwirl: buffer A's strokes in oil colours on canvas, with the ridges of
// the paint catching the light.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer A: paint, hue, flow speed

vec3 Palette(float h)
{
    vec3 a = vec3(0.12, 0.2, 0.45), b = vec3(0.95, 0.75, 0.3), c = vec3(0.8, 0.25, 0.2), d = vec3(0.95, 0.93, 0.85);
    h = clamp(h * 3.0, 0.0, 3.0);
    return h < 1.0 ? mix(a, c, h) : h < 2.0 ? mix(c, b, h - 1.0) : mix(b, d, h - 2.0);
}

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 px = 1.0 / iResolution;
    vec4 a = texture2D(iChannel0, uv);
    float dx = texture2D(iChannel0, uv + vec2(px.x, 0.0)).r - a.r;
    float dy = texture2D(iChannel0, uv + vec2(0.0, px.y)).r - a.r;
    vec3 n = normalize(vec3(-dx * 30.0, -dy * 30.0, 1.0));
    float light = 0.75 + 0.35 * dot(n, normalize(vec3(-0.5, 0.6, 0.6)));
    vec3 col = Palette(fract(a.g * 1.6 + a.r * 0.5)) * light;
    col = mix(col, col * (0.85 + 0.3 * a.r), 0.5);
    gl_FragColor = vec4(col, 1.0);
}

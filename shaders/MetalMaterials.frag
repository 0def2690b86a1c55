// Metallic: the picture below embossed into a lathe-brushed metal disc set in
// a wooden ring. The metal turns from gold to silver to copper to blue steel
// and back; a lamp follows the mouse (and circles by itself until the mouse
// has moved over the clock), raking the relief so that every edge of the
// desktop catches the light. iChannel1 is the wood texture.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform vec2 iMouse;
uniform sampler2D iChannel0;
uniform sampler2D iChannel1;

varying vec2 vTexCoord;

float Hash(float n)
{
    return fract(sin(n * 12.9898) * 43758.5453);
}

float Height(vec2 uv)
{
    return dot(texture2D(iChannel0, uv).rgb, vec3(0.299, 0.587, 0.114));
}

vec3 Material(float t)
{
    const vec3 gold = vec3(1.0, 0.76, 0.33);
    const vec3 silver = vec3(0.92, 0.93, 0.95);
    const vec3 copper = vec3(0.95, 0.55, 0.38);
    const vec3 steel = vec3(0.55, 0.68, 0.9);
    float k = mod(t / 5.0, 4.0);
    float f = smoothstep(0.7, 1.0, fract(k));
    if (k < 1.0)
        return mix(gold, silver, f);
    if (k < 2.0)
        return mix(silver, copper, f);
    if (k < 3.0)
        return mix(copper, steel, f);
    return mix(steel, gold, f);
}

void main()
{
    float size = min(iResolution.x, iResolution.y);
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / size; // -0.5 .. 0.5
    float r = length(p);

    vec2 lamp = iMouse.x + iMouse.y > 0.0 ? iMouse
                                           : 0.5 * iResolution + 0.35 * size * vec2(cos(iTime * 0.8), sin(iTime * 0.8));
    vec3 toLamp = vec3(lamp - gl_FragCoord.xy, 0.45 * size);
    vec3 light = normalize(toLamp);
    float falloff = 1.2 / (1.0 + dot(toLamp.xy, toLamp.xy) / (size * size) * 1.5);

    // Wooden ring outside the disc.
    const float DISC = 0.40;
    if (r > DISC + 0.015) {
        float angle = atan(p.y, p.x);
        vec3 wood = texture2D(iChannel1, vec2(angle / 6.2831 * 3.0, r * 1.5)).rgb;
        vec3 n = normalize(vec3(p / max(r, 1e-3) * (r - 0.47) * 6.0, 1.0));
        vec3 col = wood * (0.35 + 0.8 * max(dot(n, light), 0.0) * falloff);
        col *= smoothstep(DISC + 0.015, DISC + 0.04, r) * 0.55 + 0.45; // shadow at the disc's edge
        gl_FragColor = vec4(col, 1.0);
        return;
    }

    // Relief from the picture: slopes of its brightness.
    vec2 px = 1.5 / iResolution;
    vec2 slope = vec2(Height(uv + vec2(px.x, 0.0)) - Height(uv - vec2(px.x, 0.0)),
                      Height(uv + vec2(0.0, px.y)) - Height(uv - vec2(0.0, px.y)));
    // Lathe brushing: fine rings round the centre.
    float brush = Hash(floor(r * size * 1.3)) - 0.5;
    vec2 radial = p / max(r, 1e-3);
    vec3 n = normalize(vec3(-slope * 2.2 + radial * brush * 0.05, 1.0));

    vec3 metal = Material(iTime);
    vec3 tint = texture2D(iChannel0, uv).rgb;
    metal = mix(metal, metal * (0.5 + tint), 0.25);
    float diffuse = max(dot(n, light), 0.0);
    vec3 h = normalize(light + vec3(0.0, 0.0, 1.0));
    // Brushed metal: the highlight stretches across the rings.
    float spec = pow(max(dot(n, h), 0.0), 60.0) * 1.4 + pow(max(dot(n, h), 0.0), 8.0) * 0.25;
    vec3 col = metal * (0.18 + 0.75 * diffuse * falloff) + mix(vec3(1.0), metal, 0.4) * spec * falloff;
    // Bevel where the disc meets the wood.
    col *= 1.0 - 0.6 * smoothstep(DISC - 0.02, DISC + 0.015, r);
    gl_FragColor = vec4(col, 1.0);
}

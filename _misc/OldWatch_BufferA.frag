// Old watch, buffer A: the dial, drawn afresh: silvered metal with a turned
// guilloche pattern, a railway minute track and the hour numerals printed from
// the glyph atlas, with age stains from the organic picture.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform int iFrame;
uniform vec3 iChannelResolution[4];
uniform sampler2D iChannel1; // glyph atlas, 16 x 16 codes
uniform sampler2D iChannel2; // organic picture

const float kDial = 0.4; // dial radius in picture heights

// Coverage of character code at a point of its cell (0 to 1 each way, y up).
float Glyph(vec2 local, float code)
{
    if (any(lessThan(local, vec2(0.0))) || any(greaterThan(local, vec2(1.0))))
        return 0.0;
    vec2 cell = vec2(mod(code, 16.0), floor(code / 16.0));
    vec2 texel = (cell * 16.0 + vec2(local.x, 1.0 - local.y) * 16.0) / iChannelResolution[1].xy;
    return texture2D(iChannel1, texel).a;
}

// The numeral of hour h (1 to 12) centred at c, glyph height size.
float Numeral(vec2 p, vec2 c, float h, float size)
{
    vec2 q = (p - c) / size + vec2(0.5);
    if (h < 9.5)
        return Glyph(q, 48.0 + h);
    float tens = Glyph(q + vec2(0.28, 0.0), 49.0);
    return max(tens, Glyph(q - vec2(0.28, 0.0), 48.0 + h - 10.0));
}

void main()
{
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    float r = length(p);
    float a = atan(p.x, p.y); // 0 at twelve, clockwise
    // Silvered dial with a turned pattern of fine waves.
    float waves = sin(r * 260.0 + sin(a * 12.0) * 3.0);
    vec3 col = vec3(0.86, 0.84, 0.78) * (0.92 + 0.05 * waves) * (1.0 - 0.35 * r / kDial);
    col *= 0.85 + 0.25 * texture2D(iChannel2, p * 1.5 + 0.5).r; // age stains
    // Minute track: two circles with ticks.
    float track = smoothstep(0.003, 0.0, abs(r - kDial * 0.92)) + smoothstep(0.003, 0.0, abs(r - kDial * 0.86));
    float minute = abs(fract(a / 6.28318 * 60.0 + 0.5) - 0.5);
    float tick = step(kDial * 0.86, r) * step(r, kDial * 0.92) * smoothstep(0.06, 0.02, minute);
    float hourTick = step(kDial * 0.8, r) * step(r, kDial * 0.93) *
                     smoothstep(0.025, 0.01, abs(fract(a / 6.28318 * 12.0 + 0.5) - 0.5));
    float ink = max(max(track, tick), hourTick);
    for (int h = 1; h <= 12; ++h) {
        float ang = float(h) / 12.0 * 6.28318;
        vec2 c = vec2(sin(ang), cos(ang)) * kDial * 0.68;
        ink = max(ink, Numeral(p, c, float(h), kDial * 0.22));
    }
    col = mix(col, vec3(0.08, 0.07, 0.07), ink);
    gl_FragColor = vec4(col, ink);
}

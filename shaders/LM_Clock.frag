// Lumidial's own dial: a glassy face over the picture behind it, faceted hour
// markers, sword-shaped hour and minute hands and a slender sweeping second
// hand with a counterweight, all with soft shadows. Dial units: 65 from the
// centre to the window's edge, y up; the hands' directions come as uniforms.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0;
uniform vec4 iDate;
uniform vec3 iHourHandColor;
uniform vec3 iMinuteHandColor;
uniform vec3 iSecondHandColor;
uniform vec2 iHourHand; // (sin, cos) of its clock angle, set once per frame
uniform vec2 iMinuteHand; // (sin, cos) of its clock angle, set once per frame
uniform vec2 iSecondHand; // (sin, cos) of its clock angle, set once per frame

varying vec2 vTexCoord;

const float TAU = 6.2831853;
const vec2 SHADOW_OFFSET = vec2(0.8, -1.2); // light from the upper left

float px; // one pixel in dial units

// p seen from a hand that points at clock angle a (0 = twelve, clockwise): the
// hand lies along +y.
// p seen from a hand pointing along d = (sin, cos) of its clock angle: the
// hand lies along +y.
vec2 HandFrame(vec2 p, vec2 d)
{
    return vec2(dot(p, vec2(d.y, -d.x)), dot(p, d));
}

vec2 HandSpace(vec2 p, float a)
{
    return HandFrame(p, vec2(sin(a), cos(a)));
}

// Signed distance to a blade along +y from y0 to y1 whose half-width goes from
// w0 to w1.
float Blade(vec2 q, float y0, float y1, float w0, float w1)
{
    float t = clamp((q.y - y0) / (y1 - y0), 0.0, 1.0);
    float slope = (w1 - w0) / (y1 - y0);
    float side = (abs(q.x) - mix(w0, w1, t)) / sqrt(1.0 + slope * slope);
    return max(side, max(y0 - q.y, q.y - y1));
}

float Coverage(float d)
{
    return clamp(0.5 - d / px, 0.0, 1.0);
}

float Shadow(float d, float strength)
{
    return strength * (1.0 - smoothstep(-0.6, 1.8, d));
}

// Paints a shape of fill colour c with a thin darker rim and a lit left facet.
vec3 Paint(vec3 col, float d, vec3 c, float facetX)
{
    float facet = facetX < 0.0 ? 1.12 : 0.84;
    vec3 fill = clamp(c * facet + 0.04 * (facet - 1.0), 0.0, 1.0);
    float rim = smoothstep(-0.45 - px, -0.45, d);
    fill = mix(fill, c * 0.35, rim * 0.7);
    return mix(col, fill, Coverage(d));
}

float HourHand(vec2 q)
{
    return min(Blade(q, -5.0, 8.0, 1.5, 3.0), Blade(q, 8.0, 28.0, 3.0, 0.2));
}

float MinuteHand(vec2 q)
{
    return min(Blade(q, -6.0, 11.0, 1.3, 2.2), Blade(q, 11.0, 42.0, 2.2, 0.15));
}

float SecondHand(vec2 q)
{
    float shaft = Blade(q, -13.0, 45.0, 0.45, 0.3);
    float weight = length(q - vec2(0.0, -8.5)) - 1.9;
    return min(shaft, weight);
}

void main()
{
    float scale = min(iResolution.x, iResolution.y);
    px = 130.0 / scale;
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) * px;
    float r = length(p);
    vec3 col = texture2D(iChannel0, vTexCoord).rgb;

    // The glass: a touch darker towards the rim, a soft reflection at the top
    // left and a fine bright ring that closes the dial.
    float inside = Coverage(r - 50.5);
    col *= mix(1.0, 0.86 + 0.14 * (1.0 - smoothstep(20.0, 50.0, r)), inside);
    float gleam = (1.0 - smoothstep(0.0, 34.0, length(p - vec2(-17.0, 21.0)))) * inside;
    col += vec3(0.10) * gleam;
    col = mix(col, vec3(0.92), 0.55 * Coverage(abs(r - 50.5) - 0.3));

    // Markers: a dot for every minute, a faceted baton for every hour, longer
    // at twelve, six and nine.
    float a = atan(p.x, p.y);
    float minuteIndex = floor(a / (TAU / 60.0) + 0.5);
    vec2 qm = HandSpace(p, minuteIndex * TAU / 60.0);
    float dot60 = length(qm - vec2(0.0, 48.0)) - 0.55;
    col = mix(col, vec3(0.88), 0.8 * Coverage(dot60));

    float hourIndex = floor(a / (TAU / 12.0) + 0.5);
    bool quarter = mod(hourIndex, 3.0) == 0.0;
    vec2 qh = HandSpace(p, hourIndex * TAU / 12.0);
    // At three the marker is only a stub: the date window sits there.
    float inner = hourIndex == 3.0 ? 47.5 : quarter ? 40.0 : 43.0;
    float width = quarter ? 1.5 : 1.05;
    float baton = Blade(qh, inner, 48.8, width * 0.75, width);
    vec2 qs = HandSpace(p - SHADOW_OFFSET * 0.6, hourIndex * TAU / 12.0);
    col *= 1.0 - Shadow(Blade(qs, inner, 48.8, width * 0.75, width), 0.45);
    col = Paint(col, baton, vec3(0.90, 0.90, 0.92), qh.x);

    // The hands, lowest first, each over its own shadow.
    vec2 q = HandFrame(p, iHourHand);
    col *= 1.0 - Shadow(HourHand(HandFrame(p - SHADOW_OFFSET, iHourHand)), 0.5);
    col = Paint(col, HourHand(q), iHourHandColor, q.x);

    q = HandFrame(p, iMinuteHand);
    col *= 1.0 - Shadow(MinuteHand(HandFrame(p - SHADOW_OFFSET * 1.3, iMinuteHand)), 0.5);
    col = Paint(col, MinuteHand(q), iMinuteHandColor, q.x);

    q = HandFrame(p, iSecondHand);
    col *= 1.0 - Shadow(SecondHand(HandFrame(p - SHADOW_OFFSET * 1.6, iSecondHand)), 0.4);
    col = mix(col, iSecondHandColor, Coverage(SecondHand(q)));

    // The hub: a cap in the second hand's colour with a polished centre.
    col *= 1.0 - Shadow(length(p - SHADOW_OFFSET * 1.6) - 2.6, 0.4);
    col = mix(col, iSecondHandColor * 0.55, Coverage(r - 2.6));
    col = mix(col, iSecondHandColor, Coverage(r - 2.1));
    col = mix(col, vec3(0.95), 0.8 * Coverage(length(p - vec2(-0.35, 0.35)) - 0.7));

    gl_FragColor = vec4(col, 1.0);
}

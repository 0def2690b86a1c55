// A station clock: a pale enamel dial through which the picture still shows,
// bold hour bars, fine minute bars, plain straight hands and the red second
// hand with its round signal disc. As on the platform, the second hand sweeps
// round in 58.5 seconds, waits at twelve, and the minute hand jumps on the
// full minute. Dial units: 65 from the centre to the edge, y up.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0;
uniform vec4 iDate;
uniform vec3 iHourHandColor;
uniform vec3 iMinuteHandColor;
uniform vec3 iSecondHandColor;
uniform vec2 iHourHand; // (sin, cos) of its clock angle, set once per frame
uniform vec2 iMinuteHandStep; // (sin, cos) of its clock angle, set once per frame
uniform vec2 iSecondHandStop; // (sin, cos) of its clock angle, set once per frame

varying vec2 vTexCoord;

const float TAU = 6.2831853;
const vec2 SHADOW_OFFSET = vec2(0.7, -1.0);

float px;

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

// A straight bar along +y from y0 to y1, half-width w0 at y0 narrowing to w1.
float Bar(vec2 q, float y0, float y1, float w0, float w1)
{
    float t = clamp((q.y - y0) / (y1 - y0), 0.0, 1.0);
    return max(abs(q.x) - mix(w0, w1, t), max(y0 - q.y, q.y - y1));
}

float Coverage(float d)
{
    return clamp(0.5 - d / px, 0.0, 1.0);
}

float Shadow(float d, float strength)
{
    return strength * (1.0 - smoothstep(-0.5, 1.6, d));
}

float HourHand(vec2 q)
{
    return Bar(q, -11.0, 29.0, 2.3, 1.8);
}

float MinuteHand(vec2 q)
{
    return Bar(q, -11.0, 44.0, 1.9, 1.3);
}

float SecondHand(vec2 q)
{
    float shaft = Bar(q, -15.0, 30.5, 0.55, 0.45);
    float disc = length(q - vec2(0.0, 30.5)) - 3.7;
    return min(shaft, disc);
}

void main()
{
    px = 130.0 / min(iResolution.x, iResolution.y);
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) * px;
    float r = length(p);
    vec3 col = texture2D(iChannel0, vTexCoord).rgb;

    // Enamel: the picture, lightened and calmed, under a white glaze that is
    // brighter at the top; a thin grey bezel line closes it.
    float inside = Coverage(r - 50.5);
    float grey = dot(col, vec3(0.299, 0.587, 0.114));
    vec3 glaze = mix(vec3(0.93, 0.93, 0.92), vec3(1.0), smoothstep(-50.0, 50.0, p.y));
    vec3 enamel = mix(mix(col, vec3(grey), 0.5), glaze, 0.72);
    col = mix(col, enamel, inside);
    col = mix(col, vec3(0.35), Coverage(abs(r - 50.5) - 0.35));

    // Bars: thick for the hours, thin for the minutes.
    float a = atan(p.x, p.y);
    vec2 qm = HandSpace(p, floor(a / (TAU / 60.0) + 0.5) * TAU / 60.0);
    float minuteBar = Bar(qm, 44.5, 48.5, 0.42, 0.42);
    vec2 qh = HandSpace(p, floor(a / (TAU / 12.0) + 0.5) * TAU / 12.0);
    float hourBar = Bar(qh, 36.0, 48.5, 1.35, 1.35);
    col = mix(col, vec3(0.06), Coverage(min(minuteBar, hourBar)));

    col *= 1.0 - Shadow(HourHand(HandFrame(p - SHADOW_OFFSET, iHourHand)), 0.35);
    col = mix(col, iHourHandColor, Coverage(HourHand(HandFrame(p, iHourHand))));
    col *= 1.0 - Shadow(MinuteHand(HandFrame(p - SHADOW_OFFSET * 1.3, iMinuteHandStep)), 0.35);
    col = mix(col, iMinuteHandColor, Coverage(MinuteHand(HandFrame(p, iMinuteHandStep))));
    col *= 1.0 - Shadow(SecondHand(HandFrame(p - SHADOW_OFFSET * 1.7, iSecondHandStop)), 0.3);
    col = mix(col, iSecondHandColor, Coverage(SecondHand(HandFrame(p, iSecondHandStop))));
    // The arbor: a small dark cap on the second hand.
    col = mix(col, iSecondHandColor * 0.5, Coverage(r - 1.1));

    gl_FragColor = vec4(col, 1.0);
}

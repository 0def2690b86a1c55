// A dial of seven-segment numerals: the picture behind smoked glass, the hours
// written in glowing segments (the unlit ones faintly visible, as on a real
// display), LED dots for the minutes and slim luminous hands. Six o'clock is
// left free for the date window. Dial units: 65 from the centre to the edge.
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
const float DIGIT_W = 4.2;  // width of a digit (segment centre lines)
const float DIGIT_H = 8.4;  // height of a digit
const float SEG_HALF = 0.6; // half the thickness of a segment
const float SLANT = 0.12;   // italic lean of the display

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

float Coverage(float d)
{
    return clamp(0.5 - d / px, 0.0, 1.0);
}

// Distance to a segment with bevelled ends, from a to b (axis-aligned).
float Segment(vec2 p, vec2 a, vec2 b)
{
    vec2 ab = b - a;
    float len = length(ab);
    vec2 dir = ab / len;
    vec2 q = vec2(dot(p - a, dir), dot(p - a, vec2(-dir.y, dir.x)));
    float along = abs(q.x - 0.5 * len) - 0.5 * len + 0.3; // a small gap at each joint
    float across = abs(q.y) - SEG_HALF;
    // Pointed ends: the bevel cuts the corners at 45 degrees.
    return max(across, (abs(q.y) + along) * 0.7071);
}

// Bit i (0 = a ... 6 = g) of the segments lit for digit n.
float Lit(float n, float i)
{
    float code = n < 0.5 ? 63.0 : n < 1.5 ? 6.0 : n < 2.5 ? 91.0 : n < 3.5 ? 79.0 : n < 4.5 ? 102.0
               : n < 5.5 ? 109.0 : n < 6.5 ? 125.0 : n < 7.5 ? 7.0 : n < 8.5 ? 127.0 : 111.0;
    return mod(floor(code / exp2(i)), 2.0);
}

// Distances to the nearest lit and the nearest unlit segment of digit n at p.
vec2 Digit(vec2 p, float n)
{
    p.x -= SLANT * p.y;
    float w = 0.5 * DIGIT_W;
    float h = 0.5 * DIGIT_H;
    vec2 ends[14];
    ends[0] = vec2(-w, h);   ends[1] = vec2(w, h);    // a
    ends[2] = vec2(w, h);    ends[3] = vec2(w, 0.0);  // b
    ends[4] = vec2(w, 0.0);  ends[5] = vec2(w, -h);   // c
    ends[6] = vec2(-w, -h);  ends[7] = vec2(w, -h);   // d
    ends[8] = vec2(-w, 0.0); ends[9] = vec2(-w, -h);  // e
    ends[10] = vec2(-w, h);  ends[11] = vec2(-w, 0.0); // f
    ends[12] = vec2(-w, 0.0); ends[13] = vec2(w, 0.0); // g
    vec2 d = vec2(1e3);
    for (int i = 0; i < 7; ++i) {
        float s = Segment(p, ends[2 * i], ends[2 * i + 1]);
        if (Lit(n, float(i)) > 0.5)
            d.x = min(d.x, s);
        else
            d.y = min(d.y, s);
    }
    return d;
}

// The numeral for hour h (1 to 12) centred at c.
vec2 Numeral(vec2 p, vec2 c, float h)
{
    float pitch = DIGIT_W + 2.0;
    if (h < 9.5)
        return Digit(p - c, h);
    vec2 tens = Digit(p - c + vec2(0.5 * pitch, 0.0), 1.0);
    vec2 ones = Digit(p - c - vec2(0.5 * pitch, 0.0), h - 10.0);
    return min(tens, ones);
}

float Hand(vec2 q, float tail, float len, float w)
{
    float t = clamp(q.y, -tail, len);
    return length(q - vec2(0.0, t)) - w;
}

vec3 Glow(vec3 col, float d, vec3 c, float width, float strength)
{
    return col + c * strength * exp(-max(d, 0.0) / width);
}

void main()
{
    px = 130.0 / min(iResolution.x, iResolution.y);
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) * px;
    float r = length(p);
    vec3 col = texture2D(iChannel0, vTexCoord).rgb;

    // Smoked glass with a faint blue-green cast and a darker rim.
    float inside = Coverage(r - 50.5);
    vec3 smoked = col * 0.34 * (1.0 - 0.35 * smoothstep(30.0, 50.0, r)) + vec3(0.012, 0.02, 0.026);
    col = mix(col, smoked, inside);
    col = mix(col, vec3(0.55, 0.6, 0.62), 0.7 * Coverage(abs(r - 50.5) - 0.3));

    vec3 led = clamp(iSecondHandColor * 1.1 + 0.06, 0.0, 1.0);

    // Hour numerals: only the one nearest to p is drawn there.
    float a = atan(p.x, p.y);
    float k = floor(a / (TAU / 12.0) + 0.5);
    float hour = mod(k + 11.0, 12.0) + 1.0;
    vec2 c = 39.0 * vec2(sin(k * TAU / 12.0), cos(k * TAU / 12.0));
    if (hour != 6.0) {
        vec2 d = Numeral(p, c, hour);
        col = mix(col, led * 0.13, 0.8 * Coverage(d.y));
        col = Glow(col, d.x, led, 1.2, 0.35);
        col = mix(col, mix(led, vec3(1.0), 0.25), Coverage(d.x));
    }

    // Minute dots, the five-minute ones lit.
    float m = floor(a / (TAU / 60.0) + 0.5);
    vec2 qm = HandSpace(p, m * TAU / 60.0);
    bool five = mod(m, 5.0) == 0.0;
    float dotD = length(qm - vec2(0.0, 47.0)) - (five ? 0.75 : 0.45);
    col = mix(col, five ? led : led * 0.35, Coverage(dotD));

    float dh = Hand(HandFrame(p, iHourHand), 3.0, 24.0, 1.35);
    col = Glow(col, dh, iHourHandColor, 1.0, 0.25);
    col = mix(col, iHourHandColor, Coverage(dh));
    float dm = Hand(HandFrame(p, iMinuteHand), 4.0, 34.0, 0.95);
    col = Glow(col, dm, iMinuteHandColor, 1.0, 0.25);
    col = mix(col, iMinuteHandColor, Coverage(dm));
    float ds = Hand(HandFrame(p, iSecondHand), 9.0, 44.0, 0.35);
    col = Glow(col, ds, iSecondHandColor, 0.8, 0.3);
    col = mix(col, iSecondHandColor, Coverage(ds));
    // Hub: a ring in the second hand's colour around a dark centre.
    col = mix(col, iSecondHandColor, Coverage(abs(r - 1.7) - 0.55));
    col = mix(col, vec3(0.05), Coverage(r - 1.1));

    gl_FragColor = vec4(clamp(col, 0.0, 1.0), 1.0);
}

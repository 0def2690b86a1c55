// Dots Loader: the familiar "please wait" ring of dots, done with care. Twelve
// dots chase round the ring, each swelling and glowing as the wave passes and
// taking the next colour of a slowly turning rainbow; an inner ring turns the
// other way and a soft halo breathes in the middle.
#version 120

uniform vec2 iResolution;
uniform float iTime;

varying vec2 vTexCoord;

const float TAU = 6.2831853;

vec3 Hue(float h)
{
    return 0.5 + 0.5 * cos(TAU * (h + vec3(0.0, 0.33, 0.67)));
}

// One dot of a ring: slot of count, on a ring of ringRadius, its wave running
// round with speed. Disc plus glow.
vec3 Dot(vec2 p, float slot, float count, float ringRadius, float dotRadius, float speed, float hueShift, float t)
{
    float a = slot / count * TAU;
    vec2 centre = ringRadius * vec2(cos(a), sin(a));
    // 1 at the head of the wave, falling off behind it.
    float wave = pow(fract(slot / count - t * speed), 3.0);
    float radius = dotRadius * (0.55 + 0.65 * wave);
    float d = length(p - centre);
    float disc = smoothstep(radius, radius * 0.7, d);
    vec3 colour = Hue(slot / count * 0.5 + hueShift) * (0.45 + 0.8 * wave);
    return colour * disc + colour * wave * 0.004 / (d * d + 0.004);
}

void main()
{
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / min(iResolution.x, iResolution.y);
    float t = iTime;
    float r = length(p);

    vec3 col = mix(vec3(0.08, 0.09, 0.17), vec3(0.01, 0.01, 0.03), smoothstep(0.0, 0.7, r));
    for (int i = 0; i < 12; ++i)
        col += Dot(p, float(i), 12.0, 0.3, 0.055, 0.8, t * 0.05, t);
    // The inner ring turns the other way.
    vec2 inner = mat2(cos(t), -sin(t), sin(t), cos(t)) * p;
    for (int i = 0; i < 8; ++i)
        col += 0.8 * Dot(inner, float(i), 8.0, 0.16, 0.035, -1.2, t * 0.05 + 0.5, t);
    float breathe = 0.5 + 0.5 * sin(t * 2.0);
    col += Hue(t * 0.05 + 0.25) * 0.22 * (0.5 + breathe) * smoothstep(0.1, 0.0, r);
    gl_FragColor = vec4(col, 1.0);
}

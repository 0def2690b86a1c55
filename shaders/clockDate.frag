// The date window: a recessed white aperture where the day number is printed,
// placed for the dial in use (iMojibanType 0: at three o'clock, 1: nearer the
// centre for the station clock, 2: at six o'clock). Any other dial gets no
// window; the picture passes through unchanged.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0;
uniform int iMojibanType;

varying vec2 vTexCoord;

float px;

float Coverage(float d)
{
    return clamp(0.5 - d / px, 0.0, 1.0);
}

// Signed distance to a rectangle of half-size b with rounded corners of radius r.
float RoundedBox(vec2 p, vec2 b, float r)
{
    vec2 q = abs(p) - b + r;
    return length(max(q, 0.0)) + min(max(q.x, q.y), 0.0) - r;
}

void main()
{
    vec3 col = texture2D(iChannel0, vTexCoord).rgb;
    vec2 centre;
    if (iMojibanType == 0)
        centre = vec2(37.0, 0.0);
    else if (iMojibanType == 1)
        centre = vec2(28.0, 0.0);
    else if (iMojibanType == 2)
        centre = vec2(0.5, -36.0);
    else {
        gl_FragColor = vec4(col, 1.0);
        return;
    }
    px = 130.0 / min(iResolution.x, iResolution.y);
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) * px - centre;
    vec2 size = vec2(9.5, 7.5);

    // A soft dark halo around the cut, then the bevelled metal rim, then the
    // paper: white, shaded at the top where the dial overhangs it.
    float d = RoundedBox(p, size, 1.6);
    col *= 1.0 - 0.35 * (1.0 - smoothstep(0.0, 2.0, d));
    float rim = RoundedBox(p, size + 0.9, 2.2);
    vec3 metal = mix(vec3(0.45, 0.46, 0.5), vec3(0.9, 0.9, 0.93), smoothstep(-8.0, 8.0, p.y - p.x * 0.3));
    col = mix(col, metal, Coverage(rim));
    vec3 paper = vec3(0.985, 0.98, 0.96) * (1.0 - 0.22 * smoothstep(size.y - 3.0, size.y, p.y));
    col = mix(col, paper, Coverage(d));
    gl_FragColor = vec4(col, 1.0);
}

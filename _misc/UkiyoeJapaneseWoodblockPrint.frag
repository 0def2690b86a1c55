// Ukiyo-e: great waves in the manner of a Japanese woodblock print. Rows of
// swells in Prussian blue roll in front of a small snow-capped mountain on a
// cream sky; crests break into white claws of foam and spray, and the whole
// print has the grain of its paper and the flat, banded colours of the
// blocks. iChannel1 is the grey noise texture (256 x 256): the paper grain.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel1;

varying vec2 vTexCoord;

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(63.7, 157.3))) * 43758.5453);
}

float Grain(vec2 p)
{
    return texture2D(iChannel1, p / 256.0).r;
}

// Crest profile of a swell at phase (radians): a slow rise and a steep,
// leaning front, 0 in the troughs and 1 at the crest.
float Crest(float phase)
{
    float s = fract(phase / 6.2831);
    return pow(smoothstep(0.0, 0.8, s) * smoothstep(1.0, 0.8, s), 1.3);
}

void main()
{
    float scale = iResolution.y / 130.0;
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 p = vec2(uv.x * iResolution.x / iResolution.y, uv.y);
    float t = iTime;
    float grain = Grain(gl_FragCoord.xy / scale);

    // Sky: cream paper darkening to a grey band at the top, a pale pink glow.
    vec3 col = mix(vec3(0.93, 0.87, 0.74), vec3(0.7, 0.66, 0.6), smoothstep(0.8, 1.0, uv.y));
    col = mix(col, vec3(0.95, 0.78, 0.7), 0.25 * smoothstep(0.7, 0.45, uv.y));

    // The mountain, far away: blue slopes, a white cap, a blue outline.
    float mx = abs(p.x - 0.62);
    float mountain = 0.58 - mx * 0.75;
    if (uv.y < mountain) {
        vec3 slope = mix(vec3(0.22, 0.33, 0.5), vec3(0.45, 0.55, 0.65), 0.3);
        float cap = step(0.49 + 0.015 * sin(p.x * 70.0), uv.y); // snow on the top only
        col = mix(slope, vec3(0.96, 0.95, 0.9), cap);
    }
    col = mix(col, vec3(0.15, 0.2, 0.35), (1.0 - smoothstep(0.0, 0.006, abs(uv.y - mountain))) * step(uv.y, 0.6));

    // Rows of waves, far to near; a nearer row paints over a farther one. The
    // phase leans with height, so the crests hang forward over their fronts.
    for (int i = 0; i < 4; ++i) {
        float k = float(i);
        float base = 0.34 - k * 0.115;
        float amp = 0.08 + 0.065 * k;
        float lean = 5.0 + 4.0 * k;
        float phase = p.x * (6.0 - k * 1.2) + t * (0.6 + 0.2 * k) + k * 2.3;
        float crest = Crest(phase + (uv.y - base) * lean);
        float surface = base + amp * crest + 0.012 * sin(phase * 3.0);
        float depth = surface - uv.y;
        if (depth < 0.0) {
            // Spray above the crest: round flecks of foam in the air.
            vec2 g = gl_FragCoord.xy / (3.0 * scale);
            float fleck = step(0.7, Hash(floor(g) + k * 13.0 + floor(t * 4.0))) *
                          (1.0 - smoothstep(0.15, 0.35, length(fract(g) - 0.5)));
            float spray = fleck * (1.0 - smoothstep(0.0, 0.05, -depth)) * smoothstep(0.5, 0.9, crest);
            col = mix(col, vec3(0.97, 0.96, 0.9), spray);
            continue;
        }
        // Bands of the print: Prussian blue with lines that follow the surface,
        // a pale band under the foam.
        float lines = smoothstep(0.3, 0.5, abs(fract(depth * (55.0 - k * 8.0)) - 0.5));
        vec3 water = mix(vec3(0.05, 0.16, 0.36), vec3(0.14, 0.32, 0.56), lines * 0.7);
        water = mix(vec3(0.52, 0.68, 0.78), water, smoothstep(0.015, 0.05 + 0.03 * crest, depth));
        // Foam claws on the high crests: white fingers along the edge.
        float claws = step(0.5, fract(phase * 4.0 + depth * 40.0));
        float foamDepth = 0.008 + 0.035 * smoothstep(0.55, 1.0, crest);
        float foam = (1.0 - smoothstep(foamDepth * 0.6, foamDepth, depth)) * mix(1.0, claws, smoothstep(0.6, 1.0, crest));
        water = mix(water, vec3(0.97, 0.96, 0.9), foam);
        // The key block's dark outline along the surface.
        water = mix(water, vec3(0.04, 0.09, 0.22), 1.0 - smoothstep(0.0, 0.005, depth));
        col = water;
    }
    // Paper grain and slightly uneven ink.
    col *= 0.9 + 0.12 * grain;
    gl_FragColor = vec4(col, 1.0);
}

// Sketch: the picture below redrawn by hand on cream paper. Outlines come from
// the picture's edges, drawn with a shaky pencil; shadows are stippled, dots
// packed closer where the picture is darker; the pencil picks up a little of
// the colour underneath. The drawing is redone four times a second, so it
// shimmers the way hand-drawn animation does.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0;

varying vec2 vTexCoord;

const float DOT_CELL = 2.6; // stipple grid in pixels

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(127.1, 311.7))) * 43758.5453);
}

vec2 Hash2(vec2 p)
{
    return vec2(Hash(p), Hash(p + 17.31));
}

float Luma(vec2 uv)
{
    return dot(texture2D(iChannel0, uv).rgb, vec3(0.299, 0.587, 0.114));
}

void main()
{
    vec2 px = 1.0 / iResolution;
    float take = floor(iTime * 4.0); // the current redraw
    vec2 shake = (Hash2(vec2(take, 3.1)) - 0.5) * 1.6;
    vec2 frag = gl_FragCoord.xy + shake;
    vec2 uv = frag * px;

    // Pencil outline: gradient of the brightness (Sobel), wobbled along the line.
    vec2 wob = (Hash2(floor(frag / 5.0) + take) - 0.5) * 0.9 * px;
    vec2 e = uv + wob;
    float tl = Luma(e + vec2(-px.x, px.y)), tc = Luma(e + vec2(0.0, px.y)), tr = Luma(e + px);
    float ml = Luma(e - vec2(px.x, 0.0)), mr = Luma(e + vec2(px.x, 0.0));
    float bl = Luma(e - px), bc = Luma(e - vec2(0.0, px.y)), br = Luma(e + vec2(px.x, -px.y));
    vec2 grad = vec2(tr + 2.0 * mr + br - tl - 2.0 * ml - bl, tl + 2.0 * tc + tr - bl - 2.0 * bc - br);
    float outline = smoothstep(0.25, 0.8, length(grad));

    // Stipple: one jittered dot per cell; its radius grows with the darkness.
    vec3 colour = texture2D(iChannel0, uv).rgb;
    float dark = 1.0 - dot(colour, vec3(0.299, 0.587, 0.114));
    vec2 cell = frag / DOT_CELL;
    float ink = 0.0;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            vec2 id = floor(cell) + vec2(float(i), float(j));
            vec2 centre = id + 0.2 + 0.6 * Hash2(id + take * 0.37);
            float tone = 1.0 - Luma(centre * DOT_CELL * px);
            float radius = 0.7 * pow(max(tone - 0.25, 0.0) / 0.75, 0.75); // light areas stay clean paper
            ink = max(ink, 1.0 - smoothstep(radius - 0.25, radius + 0.2, length(cell - centre)));
        }

    // Cream paper with fibres.
    float fibre = Hash(floor(gl_FragCoord.xy * vec2(0.5, 2.0)));
    vec3 paper = vec3(0.97, 0.94, 0.86) - 0.05 * fibre;
    vec3 pencil = mix(vec3(0.16, 0.15, 0.18), colour * 0.65, 0.45);
    vec3 col = mix(paper, pencil, clamp(max(ink * (0.35 + 0.65 * dark), outline), 0.0, 1.0));
    // A faint wash of the colour, as if touched with watercolour.
    col = mix(col, col * mix(vec3(1.0), colour * 1.2 + 0.15, 0.35), 0.6);
    gl_FragColor = vec4(col, 1.0);
}

// MATRIX: columns of green glyphs raining down a black screen. Each column has
// its own speed and phase; the leading glyph glows white, the trail fades to
// dark green, and glyphs keep changing as they fall. A smaller, dimmer rain
// behind gives depth.
#version 120

uniform vec2 iResolution;
uniform float iTime;

varying vec2 vTexCoord;

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(113.5, 271.9))) * 43758.5453);
}

// Distance-based ink of segment a-b at p.
float Stroke(vec2 p, vec2 a, vec2 b)
{
    vec2 pa = p - a;
    vec2 ba = b - a;
    float h = clamp(dot(pa, ba) / dot(ba, ba), 0.0, 1.0);
    return length(pa - ba * h);
}

// A glyph of the cell: strokes chosen by the seed from a set of eight, on a
// 0..1 box. Returns ink 0..1.
float Glyph(vec2 p, float seed)
{
    float d = 1.0;
    float bits = floor(seed * 256.0);
    for (int i = 0; i < 8; ++i) {
        float on = mod(bits, 2.0);
        bits = floor(bits / 2.0);
        if (on < 0.5)
            continue;
        vec2 a, b;
        if (i == 0) { a = vec2(0.15, 0.9); b = vec2(0.85, 0.9); }
        else if (i == 1) { a = vec2(0.2, 0.5); b = vec2(0.8, 0.5); }
        else if (i == 2) { a = vec2(0.5, 0.9); b = vec2(0.5, 0.1); }
        else if (i == 3) { a = vec2(0.85, 0.9); b = vec2(0.3, 0.1); }
        else if (i == 4) { a = vec2(0.15, 0.7); b = vec2(0.45, 0.45); }
        else if (i == 5) { a = vec2(0.85, 0.9); b = vec2(0.85, 0.3); }
        else if (i == 6) { a = vec2(0.2, 0.15); b = vec2(0.8, 0.15); }
        else { a = vec2(0.15, 0.9); b = vec2(0.15, 0.35); }
        d = min(d, Stroke(p, a, b));
    }
    return 1.0 - smoothstep(0.07, 0.16, d);
}

// One layer of rain; cell is the glyph size in pixels.
vec3 Rain(vec2 frag, vec2 cell, float speed, float t)
{
    vec2 grid = frag / cell;
    float column = floor(grid.x);
    float colSpeed = speed * (0.6 + 0.8 * Hash(vec2(column, 1.0)));
    float rows = iResolution.y / cell.y;
    // Head position in rows, falling from the top; it wraps after a gap.
    float span = rows * (1.4 + Hash(vec2(column, 2.0)));
    float head = rows - mod(t * colSpeed + Hash(vec2(column, 3.0)) * span, span);
    float row = floor(grid.y);
    float behind = row - head; // rows above the head
    if (behind < 0.0)
        return vec3(0.0);
    float trail = exp(-behind * (0.12 + 0.1 * Hash(vec2(column, 4.0))));
    float change = floor(t * (2.0 + 6.0 * Hash(vec2(column, row))));
    float ink = Glyph(fract(grid), Hash(vec2(column * 7.0 + row, change)));
    vec3 green = vec3(0.1, 1.0, 0.35) * trail;
    vec3 lead = vec3(0.85, 1.0, 0.9) * smoothstep(1.0, 0.0, behind);
    return (green + lead) * ink;
}

void main()
{
    float scale = iResolution.y / 130.0;
    vec2 frag = gl_FragCoord.xy;
    float t = iTime;
    vec3 col = Rain(frag, vec2(7.0, 9.0) * scale, 9.0, t);
    col += 0.35 * Rain(frag + vec2(3.0, 0.0) * scale, vec2(4.5, 6.0) * scale, 6.0, t + 20.0);
    col += vec3(0.0, 0.04, 0.015); // the screen's own glow
    gl_FragColor = vec4(col, 1.0);
}

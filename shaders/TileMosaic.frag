// Tile mosaic: the picture below laid in glazed ceramic tiles on grey grout.
// Rows are staggered like brickwork; each tile takes the mean colour under it
// with a touch of its own glaze. A ripple runs out from the middle, lifting
// the tiles, and the light goes round so the bevels glint in turn.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0;

varying vec2 vTexCoord;

const float ROWS = 12.0;

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(12.7, 78.3))) * 43121.77);
}

void main()
{
    float aspect = iResolution.x / iResolution.y;
    vec2 p = gl_FragCoord.xy / iResolution.y * ROWS;
    float row = floor(p.y);
    float shift = mod(row, 2.0) * 0.5;
    p.x += shift;
    vec2 id = floor(p);
    vec2 f = fract(p) - 0.5;

    // Tile centre in picture coordinates, and the mean colour around it.
    vec2 centre = vec2((id.x + 0.5 - shift) / (ROWS * aspect), (id.y + 0.5) / ROWS);
    vec2 d = vec2(0.22 / (ROWS * aspect), 0.22 / ROWS);
    vec3 tile = (texture2D(iChannel0, centre).rgb * 2.0 + texture2D(iChannel0, centre + d).rgb +
                 texture2D(iChannel0, centre - d).rgb + texture2D(iChannel0, centre + vec2(d.x, -d.y)).rgb +
                 texture2D(iChannel0, centre + vec2(-d.x, d.y)).rgb) / 6.0;
    float glaze = Hash(id);
    tile *= 0.9 + 0.2 * glaze;

    // The ripple lifts the tiles: a lifted tile is a little larger and brighter.
    float dist = length(centre - 0.5);
    float lift = 0.5 + 0.5 * sin(iTime * 2.2 - dist * 22.0);
    float halfSide = 0.39 + 0.05 * lift;
    const float round_ = 0.12;
    vec2 q = abs(f) - (halfSide - round_);
    float sd = length(max(q, 0.0)) + min(max(q.x, q.y), 0.0) - round_;

    // Bevel: the normal tips outwards near the edge of the tile.
    float bevel = smoothstep(-0.16, 0.0, sd);
    vec2 outward = length(max(q, 0.0)) > 0.0 ? normalize(max(q, 0.0) * sign(f)) : vec2(0.0);
    vec3 n = normalize(vec3(outward * bevel * 1.4, 1.0));
    float a = iTime * 0.7;
    vec3 light = normalize(vec3(cos(a), sin(a), 1.1));
    float diffuse = 0.55 + 0.55 * dot(n, light);
    float glint = pow(max(dot(reflect(-light, n), vec3(0.0, 0.0, 1.0)), 0.0), 24.0);
    vec3 lit = tile * diffuse * (0.92 + 0.16 * lift) + vec3(0.85) * glint * (0.4 + 0.6 * bevel);

    // Grout, shaded where the tile edge overhangs it.
    float grain = Hash(floor(gl_FragCoord.xy));
    vec3 grout = vec3(0.5, 0.48, 0.45) * (0.85 + 0.15 * grain) * (0.6 + 0.4 * smoothstep(0.0, 0.1, sd));
    float px = ROWS / iResolution.y;
    vec3 col = mix(lit, grout, smoothstep(-px, px, sd));
    gl_FragColor = vec4(col, 1.0);
}

// Rain on a window: the picture behind the pane (iChannel0) is softened by
// the wet glass, and beads of water sit on it, each a small lens that shows
// the scene sharp and flipped. Beads swell as rain feeds them and vanish when
// they grow too heavy; a finer layer of droplets fills the gaps.
#version 120

uniform float iTime;
uniform vec2 iResolution;
uniform sampler2D iChannel0;

varying vec2 vTexCoord;

float Hash(vec2 p)
{
    p = fract(p * vec2(0.1127, 0.2713)) + 0.37;
    p += dot(p, p.yx + 19.19);
    return fract(p.x * p.y * 91.7);
}

// The scene through clear glass; the picture's top row is texture row 0.
vec3 Scene(vec2 uv)
{
    return texture2D(iChannel0, vec2(uv.x, 1.0 - uv.y)).rgb;
}

// Beads of one layer: xy the lens offset at p, z how much of the bead covers p.
vec3 Beads(vec2 p, float cells, float seed)
{
    vec2 grid = p * cells;
    vec2 id = floor(grid);
    vec2 f = fract(grid) - 0.5;
    float h = Hash(id + seed);
    // Each bead lives a while: it grows, then is gone and starts again.
    float life = fract(iTime * (0.05 + 0.06 * Hash(id + seed + 3.0)) + h);
    float size = (0.12 + 0.22 * Hash(id + seed + 7.0)) * smoothstep(0.0, 0.25, life) * step(life, 0.94);
    vec2 centre = (vec2(Hash(id + seed + 1.0), Hash(id + seed + 2.0)) - 0.5) * 0.5;
    vec2 d = (f - centre) * vec2(1.0, 1.15); // heavier at the bottom
    float r = length(d);
    float cover = size > 0.0 ? smoothstep(size, size * 0.8, r) : 0.0; // a bead that is gone covers nothing
    return vec3(-d / max(size, 0.001) * 0.5 / cells, cover);
}

void main()
{
    vec2 uv = vTexCoord; // 0..1 over the control
    vec2 p = vec2(uv.x * iResolution.x / iResolution.y, uv.y);

    // Mist: an average of taps around the point.
    vec2 texel = 3.0 / iResolution;
    vec3 mist = Scene(uv) * 0.2;
    mist += (Scene(uv + texel * vec2(1.0, 0.3)) + Scene(uv - texel * vec2(1.0, 0.3))) * 0.2;
    mist += (Scene(uv + texel * vec2(-0.3, 1.0)) + Scene(uv - texel * vec2(-0.3, 1.0))) * 0.2;
    mist = mix(mist, vec3(0.55, 0.6, 0.65), 0.18);

    vec3 big = Beads(p, 5.0, 0.0);
    vec3 small = Beads(p + 0.37, 14.0, 11.0);
    vec3 bead = big.z > 0.0 ? big : small;
    vec3 colour = mist;
    if (bead.z > 0.0) {
        vec3 through = Scene(uv + bead.xy * 2.5) * 1.05;
        // A dark edge and a bright spot where the light catches the bead.
        float edge = smoothstep(0.5, 1.0, length(bead.xy) * (big.z > 0.0 ? 10.0 : 28.0));
        through *= 1.0 - 0.45 * edge;
        through += 0.35 * smoothstep(0.35, 0.0, length(bead.xy * (big.z > 0.0 ? 10.0 : 28.0) - vec2(-0.25, 0.3)));
        colour = mix(mist, through, bead.z);
    }
    gl_FragColor = vec4(colour, 1.0);
}

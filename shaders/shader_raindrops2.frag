// Glass Droplets: the desktop seen through a misted window pane. Beads of
// water cling to the glass and now and then one runs down, leaving a trail
// of small drops and clear glass behind it. Every drop is a little lens that
// shows the desktop sharp and upside down, with a bright rim and a shadow.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0;

varying vec2 vTexCoord;

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(127.1, 311.7))) * 43758.5453);
}

// Drops of one grid of cells (size in dial units): xy the lens offset of a
// drop at p (0 outside), z its coverage, w how much the fog is cleared.
vec4 Drops(vec2 p, float cellSize, float t, float seed)
{
    vec2 grid = p / cellSize;
    vec2 id = floor(grid);
    vec2 f = fract(grid);
    float h = Hash(id + seed);
    float speed = 0.07 + 0.1 * Hash(id + seed + 5.0);
    // The runner: falls down the cell in jerks, then starts again at the top.
    float phase = fract(t * speed + h);
    float fall = phase + 0.04 * sin(phase * 40.0 + h * 6.0);
    vec2 at = vec2(0.3 + 0.4 * Hash(id + seed + 2.0) + 0.05 * sin(fall * 9.0), 1.0 - fall);
    vec2 d = (f - at) * vec2(1.0, 0.8);
    float size = 0.16 + 0.08 * h;
    float drop = smoothstep(size, size * 0.75, length(d));
    // Its trail: small beads above it, fading out.
    float trailY = f.y - at.y;
    vec2 bead = vec2(f.x - at.x, fract(f.y * 5.0) - 0.5) * vec2(1.0, 1.0 / 5.0);
    float inTrail = step(0.0, trailY) * smoothstep(0.6, 0.0, trailY);
    float beads = smoothstep(0.045, 0.02, length(bead)) * inTrail * step(0.55, Hash(id + floor(f.y * 5.0)));
    float clear = smoothstep(0.1, 0.0, abs(f.x - at.x)) * inTrail;
    vec2 lens = d / size * drop * 0.6 + bead * 12.0 * beads;
    return vec4(lens, max(drop, beads), max(clear, drop));
}

// Still beads that swell and dry up; not every cell has one.
vec4 Beads(vec2 p, float cellSize, float t)
{
    vec2 grid = p / cellSize;
    vec2 id = floor(grid);
    vec2 f = fract(grid) - 0.5;
    vec2 at = vec2(Hash(id), Hash(id + 3.3)) - 0.5;
    float life = fract(t * 0.08 + Hash(id + 7.7));
    float size = 0.24 * smoothstep(0.0, 0.2, life) * smoothstep(1.0, 0.7, life) * step(0.6, Hash(id + 1.9));
    vec2 d = (f - at * 0.5);
    float bead = 1.0 - smoothstep(size * 0.7, size + 1e-4, length(d)); // no bead at size 0
    return vec4(d / max(size, 1e-3) * bead * 0.5, bead, bead);
}

void main()
{
    float scale = iResolution.y / 130.0;
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 p = gl_FragCoord.xy / scale;
    float t = iTime;

    vec4 a = Drops(p, 34.0, t, 0.0);
    vec4 b = Drops(p + vec2(13.0, 7.0), 23.0, t * 1.2, 11.0);
    vec4 c = Beads(p, 11.0, t);
    vec2 lens = a.xy * a.z + b.xy * b.z * (1.0 - a.z) + c.xy * c.z * (1.0 - max(a.z, b.z));
    float cover = max(max(a.z, b.z), c.z);
    float clear = max(max(a.w, b.w), c.w);

    // Misted glass: a soft blur of the desktop (twelve taps on a spiral),
    // paler and cooler.
    vec3 blur = vec3(0.0);
    for (int i = 0; i < 12; ++i) {
        float a = float(i) * 2.4;
        float radius = (1.0 + float(i) * 0.35) * scale;
        blur += texture2D(iChannel0, uv + radius * vec2(cos(a), sin(a)) / iResolution).rgb;
    }
    blur /= 12.0;
    vec3 fog = mix(blur, vec3(0.8, 0.84, 0.88), 0.4) * vec3(0.95, 0.98, 1.03);
    vec3 sharp = texture2D(iChannel0, uv).rgb;
    vec3 col = mix(fog, sharp * 0.9, clear * 0.85);

    // Drops: the desktop through the lens, upside down and magnified, darker
    // towards the rim, with a spark of light at the upper left.
    vec3 seen = texture2D(iChannel0, uv - lens * 0.3).rgb;
    float rim = smoothstep(0.35, 0.6, length(lens));
    float spark = smoothstep(0.14, 0.0, length(lens - vec2(-0.2, 0.25)));
    vec3 drop = seen * (1.1 - 0.5 * rim) + vec3(1.0) * spark * 0.7;
    col = mix(col, drop, cover);
    gl_FragColor = vec4(col, 1.0);
}

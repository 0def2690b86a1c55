// River: a summer river seen from a drone that follows it upstream. The water
// winds between sand banks and meadows; its surface flows, with ripples, foam
// along the banks and glints of sun. Trees cast shadows on the grass.
#version 120

uniform vec2 iResolution;
uniform float iTime;

varying vec2 vTexCoord;

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(157.1, 113.7))) * 43758.5453);
}

float Noise(vec2 p)
{
    vec2 i = floor(p);
    vec2 f = fract(p);
    f = f * f * (3.0 - 2.0 * f);
    return mix(mix(Hash(i), Hash(i + vec2(1.0, 0.0)), f.x), mix(Hash(i + vec2(0.0, 1.0)), Hash(i + 1.0), f.x),
               f.y);
}

float Fbm(vec2 p)
{
    return 0.5 * Noise(p) + 0.25 * Noise(p * 2.1 + 3.1) + 0.125 * Noise(p * 4.3 - 1.7);
}

// Middle of the river at height y of the land.
float Course(float y)
{
    return 0.5 + 0.17 * sin(y * 2.1) + 0.07 * sin(y * 5.3 + 1.0);
}

// Tree cover at q (0..1) and its centre distance.
float Trees(vec2 q)
{
    vec2 cell = floor(q * 7.0);
    vec2 f = fract(q * 7.0) - 0.5;
    vec2 at = (vec2(Hash(cell), Hash(cell + 9.1)) - 0.5) * 0.5;
    float size = 0.22 + 0.15 * Hash(cell + 4.2);
    float present = step(0.45, Hash(cell + 2.7));
    return present * smoothstep(size, size * 0.6, length(f - at));
}

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    float aspect = iResolution.x / iResolution.y;
    float t = iTime;
    // Land coordinates: the drone moves upstream.
    vec2 q = vec2(uv.x * aspect - 0.5 * (aspect - 1.0), uv.y + t * 0.05);
    float centre = Course(q.y);
    float halfWidth = 0.13 + 0.03 * sin(q.y * 3.7);
    float across = (q.x - centre) / halfWidth; // -1 .. 1 inside the water
    float wobble = (Fbm(q * 14.0) - 0.5) * 0.25;
    float bank = abs(across) + wobble;

    // Land: meadow with mottled grass, sand near the water, trees.
    float grass = Fbm(q * 18.0);
    vec3 land = mix(vec3(0.22, 0.45, 0.14), vec3(0.45, 0.6, 0.2), grass);
    land = mix(land, vec3(0.52, 0.48, 0.26), smoothstep(0.6, 0.75, Fbm(q * 5.0 + 7.0)) * 0.5); // dry patches
    float sand = smoothstep(1.45, 1.05, bank);
    land = mix(land, vec3(0.85, 0.77, 0.55) * (0.9 + 0.2 * Noise(q * 60.0)), sand);
    float shade = Trees(q + vec2(0.02, -0.025));
    land *= 1.0 - 0.45 * shade * step(1.5, bank);
    float tree = Trees(q) * step(1.6, bank);
    vec3 leaf = mix(vec3(0.07, 0.25, 0.07), vec3(0.2, 0.45, 0.12), Noise(q * 50.0));
    land = mix(land, leaf, tree);

    // Water: deeper and darker in the middle, flowing downstream.
    float depth = clamp(1.0 - across * across, 0.0, 1.0);
    vec2 flow = vec2(q.x * 16.0, q.y * 9.0 + t * 0.9);
    float ripple = Fbm(flow) + 0.5 * Fbm(flow * 2.3 + vec2(0.0, t * 0.6));
    vec3 water = mix(vec3(0.25, 0.55, 0.55), vec3(0.04, 0.22, 0.36), depth);
    water += vec3(0.12, 0.16, 0.16) * (ripple - 0.7);
    float glint = smoothstep(0.93, 1.0, Noise(flow * 2.5 + vec2(t * 0.7, 0.0)) * ripple / 1.1);
    water += vec3(1.0, 0.95, 0.8) * glint * 0.8;
    float foam = smoothstep(0.75, 1.0, abs(across) + (ripple - 0.7) * 0.4);
    water = mix(water, vec3(0.9, 0.95, 0.95), foam * 0.6);

    vec3 col = mix(water, land, smoothstep(0.97, 1.03, bank));
    // A slight haze towards the top, as from a height.
    col = mix(col, vec3(0.7, 0.8, 0.9), 0.12 * uv.y);
    gl_FragColor = vec4(col, 1.0);
}

// Glitch: the picture below on a failing video link. Most of the time only a
// faint colour fringe and scanlines give it away; in bursts, bands of the
// picture tear sideways, colour channels slip apart, blocks turn to noise or
// negative, and the whole frame jumps.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0;

varying vec2 vTexCoord;

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(12.9898, 78.233))) * 43758.5453);
}

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    float tick = floor(iTime * 12.0);    // glitch pattern changes 12 times a second
    float burstTick = floor(iTime * 2.5);
    float burst = step(0.55, Hash(vec2(burstTick, 7.0))) * (0.5 + 0.5 * Hash(vec2(burstTick, 3.0)));
    float strength = 0.15 + 0.85 * burst;

    // Tearing bands: rows of random height slide sideways.
    float band = floor(uv.y * mix(6.0, 22.0, Hash(vec2(tick, 1.0))));
    float tear = Hash(vec2(band, tick));
    float shiftX = (tear - 0.5) * 0.25 * step(1.0 - 0.45 * strength, Hash(vec2(band, tick + 0.5)));
    // Whole-frame jump now and then.
    float jump = (Hash(vec2(tick, 9.0)) - 0.5) * 0.08 * step(0.85, Hash(vec2(tick, 4.0))) * strength;
    vec2 q = vec2(uv.x + shiftX * strength, fract(uv.y + jump));

    // Channels drift apart.
    float split = (0.004 + 0.03 * strength * Hash(vec2(tick, 2.0)));
    vec3 col = vec3(texture2D(iChannel0, q + vec2(split, 0.0)).r, texture2D(iChannel0, q).g,
                    texture2D(iChannel0, q - vec2(split, split * 0.5)).b);

    // Corrupted blocks: noise, negative or a flat colour.
    vec2 block = floor(uv * vec2(9.0, 14.0));
    float pick = Hash(block + tick * 1.37);
    float corrupt = step(1.0 - 0.12 * strength, pick);
    float kind = Hash(block * 3.1 + tick);
    vec3 noise = vec3(Hash(gl_FragCoord.xy + tick), Hash(gl_FragCoord.xy * 1.3 + tick), Hash(gl_FragCoord.xy * 0.7 - tick));
    vec3 broken = kind < 0.35 ? noise : kind < 0.7 ? 1.0 - col : col * vec3(0.2, 1.2, 1.0);
    col = mix(col, broken, corrupt);

    // Scanlines and a rolling bright bar.
    col *= 0.86 + 0.14 * step(0.5, fract(gl_FragCoord.y * 0.5 / (iResolution.y / 130.0)));
    col += 0.08 * smoothstep(0.06, 0.0, abs(fract(uv.y - iTime * 0.3) - 0.5));
    col += (Hash(gl_FragCoord.xy + fract(iTime) * 91.0) - 0.5) * 0.12;
    gl_FragColor = vec4(col, 1.0);
}

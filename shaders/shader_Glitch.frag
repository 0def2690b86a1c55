// A picture (iChannel0) on a failing video link: now and then bands of rows
// jump sideways, the colour channels drift apart, blocks of the frame show
// stale or inverted data, and scanlines with a little snow run over it all.
// Quiet stretches alternate with bursts, decided per tenth of a second.
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

vec3 Scene(vec2 uv)
{
    return texture2D(iChannel0, vec2(uv.x, 1.0 - uv.y)).rgb;
}

void main()
{
    vec2 uv = vTexCoord; // 0..1 over the control
    float frame = floor(iTime * 10.0);
    float burst = step(0.62, Hash(vec2(frame, 1.0))); // about one frame in three
    float strength = burst * (0.3 + 0.7 * Hash(vec2(frame, 2.0)));

    // Bands of rows thrown sideways.
    float band = floor(uv.y * (8.0 + 24.0 * Hash(vec2(frame, 3.0))));
    float shift = (Hash(vec2(band, frame)) - 0.5) * 0.25 * strength * step(0.55, Hash(vec2(band, frame + 5.0)));
    // A slow roll of the whole picture, always present.
    shift += 0.004 * sin(uv.y * 40.0 + iTime * 3.0);
    vec2 at = vec2(fract(uv.x + shift), uv.y);

    // The channels part by a few pixels, more in a burst.
    float split = (2.0 + 9.0 * strength) / iResolution.x;
    vec3 colour = vec3(Scene(at + vec2(split, 0.0)).r, Scene(at).g, Scene(at - vec2(split, 0.0)).b);

    // Blocks of bad data: inverted or posterised.
    vec2 block = floor(uv * vec2(12.0, 9.0));
    float blockHash = Hash(block + frame * 1.7);
    if (blockHash > 1.0 - 0.08 * strength)
        colour = 1.0 - colour;
    else if (blockHash < 0.06 * strength)
        colour = floor(colour * 3.0) / 3.0 * vec3(0.4, 1.2, 0.9);

    // Scanlines, snow and a faint rolling bar.
    colour *= 0.85 + 0.15 * sin(gl_FragCoord.y * 3.14159);
    colour += (Hash(gl_FragCoord.xy + fract(iTime) * 97.0) - 0.5) * (0.06 + 0.2 * strength);
    colour *= 0.93 + 0.07 * smoothstep(0.0, 0.1, abs(fract(uv.y - iTime * 0.15) - 0.5));
    gl_FragColor = vec4(clamp(colour, 0.0, 1.0), 1.0);
}

// A coast seen from high above: a fractal shore with sand, grass and rock,
// the sea shading from turquoise shallows to deep blue, and lines of surf that
// roll in towards the beach and break on it. The tide breathes slowly; the
// mouse moves the view over the land.
#version 120

uniform float iTime;
uniform vec2 iResolution;
uniform vec2 iMouse;

varying vec2 vTexCoord;

float Hash(vec2 p)
{
    p = fract(p * vec2(0.1127, 0.2713)) + 0.37;
    p += dot(p, p.yx + 19.19);
    return fract(p.x * p.y * 91.7);
}

float Noise(vec2 p)
{
    vec2 i = floor(p);
    vec2 f = fract(p);
    vec2 u = f * f * (3.0 - 2.0 * f);
    float a = Hash(i);
    float b = Hash(i + vec2(1.0, 0.0));
    float c = Hash(i + vec2(0.0, 1.0));
    float d = Hash(i + vec2(1.0, 1.0));
    return mix(mix(a, b, u.x), mix(c, d, u.x), u.y);
}

float Fbm(vec2 p)
{
    float sum = 0.0;
    float amplitude = 0.5;
    for (int i = 0; i < 5; ++i) {
        sum += amplitude * Noise(p);
        p = mat2(1.6, 1.2, -1.2, 1.6) * p + 7.3;
        amplitude *= 0.5;
    }
    return sum;
}

void main()
{
    vec2 pan = iMouse / max(iResolution, vec2(1.0)) * 2.0;
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y * 3.0 + pan + vec2(iTime * 0.02, 0.0);
    // Land rises to the upper left; the noise frays the shore.
    float land = Fbm(p * 0.7) + 0.12 * (p.y - p.x) - 0.75;
    float tide = 0.015 * sin(iTime * 0.25);
    float depth = tide - land; // > 0 in the sea

    vec3 colour;
    if (depth > 0.0) {
        vec3 deep = vec3(0.02, 0.14, 0.35);
        vec3 shallow = vec3(0.1, 0.62, 0.66);
        colour = mix(shallow, deep, smoothstep(0.0, 0.22, depth));
        // Surf: crests travelling towards the shore, fading with depth.
        float waves = sin(depth * 90.0 + iTime * 2.4 + Noise(p * 6.0) * 2.0);
        float crest = smoothstep(0.75, 1.0, waves) * (1.0 - smoothstep(0.0, 0.12, depth));
        float breaker = 1.0 - smoothstep(0.0, 0.012 + 0.006 * sin(iTime * 1.3 + p.x * 4.0), depth);
        colour = mix(colour, vec3(0.92, 0.96, 0.97), clamp(crest * 0.8 + breaker * 0.9, 0.0, 1.0));
        colour *= 0.92 + 0.08 * Noise(p * 30.0 + iTime);
    } else {
        float height = -depth;
        vec3 sand = vec3(0.86, 0.78, 0.58);
        vec3 grass = mix(vec3(0.22, 0.42, 0.16), vec3(0.36, 0.52, 0.2), Noise(p * 12.0));
        vec3 rock = vec3(0.45, 0.42, 0.4);
        colour = mix(sand, grass, smoothstep(0.02, 0.06, height));
        colour = mix(colour, rock, smoothstep(0.3, 0.4, height));
        // Wet sand where the last wave ran up.
        colour *= 1.0 - 0.3 * (1.0 - smoothstep(0.0, 0.012, height));
        // Shading from the slope, lit from the upper left.
        float e = 0.01;
        float slope = Fbm((p + vec2(-e, e)) * 0.7) - Fbm(p * 0.7);
        colour *= 0.85 + slope * 12.0;
    }
    gl_FragColor = vec4(colour, 1.0);
}

// Living protoplasm under a microscope: a field of grey noise (iChannel0,
// sampled smoothly at several scales) is warped through itself, and the warp
// becomes cytoplasm with membranes, darker nuclei and bright granules that
// stream slowly. Yellow-green stain on a pale field.
#version 120

uniform float iTime;
uniform vec2 iResolution;
uniform sampler2D iChannel0;

varying vec2 vTexCoord;

float Noise(vec2 p)
{
    return texture2D(iChannel0, p / 64.0).r;
}

float Fbm(vec2 p)
{
    return Noise(p) * 0.5 + Noise(p * 2.03 + 17.0) * 0.3 + Noise(p * 4.1 + 41.0) * 0.2;
}

void main()
{
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y * 6.0;
    float t = iTime * 0.15;
    vec2 q = vec2(Fbm(p + vec2(t, 0.0)), Fbm(p + vec2(5.2, 1.3) - vec2(0.0, t)));
    vec2 r = vec2(Fbm(p + 4.0 * q + vec2(1.7, 9.2) + t), Fbm(p + 4.0 * q + vec2(8.3, 2.8) - t * 0.7));
    float f = Fbm(p + 3.5 * r);

    // Cells: the warped field's level lines are membranes.
    float membrane = 1.0 - smoothstep(0.0, 0.08, abs(fract(f * 5.0) - 0.5) - 0.38);
    float nucleus = smoothstep(0.62, 0.7, f) * (1.0 - smoothstep(0.74, 0.8, f));
    float granules = smoothstep(0.8, 0.9, Noise(p * 6.0 + r * 8.0));

    vec3 field = vec3(0.93, 0.95, 0.86);
    vec3 plasm = mix(vec3(0.62, 0.78, 0.32), vec3(0.86, 0.84, 0.36), length(q - 0.5) * 2.0);
    vec3 colour = mix(field, plasm, smoothstep(0.3, 0.55, f));
    colour = mix(colour, vec3(0.25, 0.42, 0.12), membrane * 0.7);
    colour = mix(colour, vec3(0.35, 0.22, 0.3), nucleus * 0.8);
    colour += granules * vec3(0.25, 0.25, 0.15);
    // The microscope's round field of view.
    vec2 c = (vTexCoord - 0.5) * 2.0 * vec2(iResolution.x / iResolution.y, 1.0);
    colour *= 1.0 - smoothstep(0.95, 1.25, length(c) * 0.8);
    gl_FragColor = vec4(colour, 1.0);
}

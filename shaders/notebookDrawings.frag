// notebook: the picture below doodled in ballpoint pen on a page of a lined
// school notebook. Darker areas get more layers of hatching, edges get a
// firm outline, and the pens take the colour of what they draw. The page is
// re-inked twice a second, so the strokes wobble like a flip-book.
// iChannel1 is the RGBA noise texture (256 x 256): paper grain and the
// wobble of the strokes.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0;
uniform sampler2D iChannel1;

varying vec2 vTexCoord;

vec4 Grain(vec2 p)
{
    return texture2D(iChannel1, p / 256.0);
}

float Luma(vec3 c)
{
    return dot(c, vec3(0.299, 0.587, 0.114));
}

// Ink of one family of parallel strokes: direction angle, spacing in pixels.
float Hatch(vec2 p, float angle, float spacing, float take)
{
    vec2 dir = vec2(cos(angle), sin(angle));
    float along = dot(p, dir);
    float across = dot(p, vec2(-dir.y, dir.x));
    // Each stroke bends a little and breaks off now and then.
    float wobble = (Grain(vec2(along * 0.15, across * 0.02) + take * 31.0).r - 0.5) * 1.6;
    float line = abs(fract((across + wobble) / spacing) - 0.5) * spacing;
    float gaps = step(0.22, Grain(vec2(along * 0.05 + take * 13.0, floor(across / spacing) * 7.0)).g);
    return (1.0 - smoothstep(0.35, 0.95, line)) * gaps;
}

void main()
{
    float scale = iResolution.y / 130.0;
    float take = floor(iTime * 2.0);
    vec2 p = gl_FragCoord.xy / scale;
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 jitter = (Grain(vec2(take * 17.0, take * 5.0)).ba - 0.5) * 1.5 / iResolution;
    vec3 colour = texture2D(iChannel0, uv + jitter).rgb;
    float tone = Luma(colour);

    // Notebook page: ruled lines, a red margin, grain.
    vec3 paper = vec3(0.97, 0.96, 0.91) * (0.94 + 0.06 * Grain(p * 1.7).r);
    float rule = 1.0 - smoothstep(0.3, 0.9, abs(mod(p.y, 11.0) - 5.5) - 4.9);
    paper = mix(paper, vec3(0.55, 0.72, 0.9), 0.6 * rule);
    float margin = 1.0 - smoothstep(0.4, 1.0, abs(p.x - 20.0));
    paper = mix(paper, vec3(0.9, 0.35, 0.35), 0.7 * margin);

    // Hatching in up to three directions by darkness.
    float ink = Hatch(p, 0.8, 3.2, take) * smoothstep(0.85, 0.6, tone);
    ink = max(ink, Hatch(p, -0.7, 3.0, take + 1.0) * smoothstep(0.6, 0.38, tone));
    ink = max(ink, Hatch(p, 0.05, 2.4, take + 2.0) * smoothstep(0.35, 0.15, tone));

    // Outline where the picture changes.
    vec2 px = 1.0 / iResolution;
    float dx = Luma(texture2D(iChannel0, uv + jitter + vec2(px.x, 0.0)).rgb) -
               Luma(texture2D(iChannel0, uv + jitter - vec2(px.x, 0.0)).rgb);
    float dy = Luma(texture2D(iChannel0, uv + jitter + vec2(0.0, px.y)).rgb) -
               Luma(texture2D(iChannel0, uv + jitter - vec2(0.0, px.y)).rgb);
    float outline = smoothstep(0.08, 0.3, length(vec2(dx, dy)));

    // Ballpoint ink: blue, leaning towards the colour being drawn.
    vec3 saturated = colour / max(max(colour.r, max(colour.g, colour.b)), 0.05);
    vec3 pen = mix(vec3(0.1, 0.16, 0.55), saturated * 0.55, 0.6);
    vec3 col = mix(paper, pen, max(ink * 0.85, outline));
    gl_FragColor = vec4(col, 1.0);
}

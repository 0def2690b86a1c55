// Polka Pixels: the picture below as rows of shiny coloured dots on a dark
// board, every other row set half a step over. Each dot takes the colour
// under it; a wave runs across the board and swells the dots as it passes.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0;

varying vec2 vTexCoord;

const float ROWS = 15.0;

void main()
{
    float aspect = iResolution.x / iResolution.y;
    vec2 p = gl_FragCoord.xy / iResolution.y * ROWS;
    float row = floor(p.y);
    float shift = mod(row, 2.0) * 0.5;
    p.x += shift;
    vec2 id = floor(p);
    vec2 f = fract(p) - 0.5;
    vec2 centre = vec2((id.x + 0.5 - shift) / (ROWS * aspect), (id.y + 0.5) / ROWS);
    vec3 colour = texture2D(iChannel0, centre).rgb;

    float wave = sin(iTime * 2.6 - (centre.x * 1.2 + centre.y) * 9.0);
    float brightness = max(colour.r, max(colour.g, colour.b));
    float radius = 0.3 + 0.1 * brightness + 0.1 * wave;
    float d = length(f);
    float aa = ROWS / iResolution.y;
    float dot_ = 1.0 - smoothstep(radius - aa, radius + aa, d);

    // A glossy dot: brighter at its upper left, a small highlight.
    vec2 lit = f - vec2(-0.3, 0.3) * radius;
    float shine = 1.0 - smoothstep(0.0, radius * 0.55, length(lit));
    vec3 ball = colour * (0.75 + 0.35 * (1.0 - d / max(radius, 1e-3))) + vec3(0.9) * shine * shine * 0.5;
    // The board: very dark, with a faint tint of the picture and a dot shadow.
    float shadow = 1.0 - smoothstep(radius, radius + 0.15, length(f - vec2(0.06, -0.06)));
    vec3 board = colour * 0.1 + vec3(0.03) - 0.03 * shadow;
    gl_FragColor = vec4(mix(board, ball, dot_), 1.0);
}

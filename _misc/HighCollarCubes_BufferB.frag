// High-collar cubes, buffer B: a floor of cubes in the tumbling-block pattern,
// dressed in the modern colours of a Taisho-era kimono: wooden tops (the file
// texture) and sides in indigo and crimson with arrow-feather stripes. The
// cubes rise and sink in a slow wave; the picture is blended with its previous
// frame to calm the edges.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform int iFrame;
uniform vec4 iMouse;
uniform sampler2D iChannel0; // buffer A (unused by the drawing)
uniform sampler2D iChannel1; // this buffer's previous frame
uniform sampler2D iChannel3; // wood

// The isometric lattice: cube index and the position inside its hexagon.
void Cell(vec2 p, out vec2 id, out vec2 local)
{
    vec2 s = vec2(1.0, 1.7320508);
    vec2 a = mod(p, s) - s * 0.5;
    vec2 b = mod(p - s * 0.5, s) - s * 0.5;
    if (dot(a, a) < dot(b, b)) {
        local = a;
        id = floor(p / s);
    } else {
        local = b;
        id = floor((p - s * 0.5) / s) + 0.5;
    }
}

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y * 6.0 + vec2(iTime * 0.2, 0.0);
    vec2 id, local;
    Cell(p, id, local);
    float lift = 0.12 * sin(iTime * 1.5 + id.x * 0.8 + id.y * 1.1);
    local.y -= lift;
    // Three faces of the cube seen from above: top, left, right.
    float angle = atan(local.x, local.y);
    vec3 col;
    if (local.y > 0.0 && abs(angle) < 1.047) {
        col = texture2D(iChannel3, local * 0.5 + id * 0.13).rgb * 1.1;
    } else if (local.x < 0.0) {
        float feather = step(0.5, fract((local.y + abs(local.x) * 0.6) * 5.0));
        col = mix(vec3(0.12, 0.15, 0.42), vec3(0.85, 0.82, 0.75), feather * 0.9);
    } else {
        col = vec3(0.62, 0.08, 0.14) * (0.8 + 0.2 * step(0.5, fract(local.x * 6.0)));
    }
    col *= 0.85 + lift * 1.5;
    vec3 previous = texture2D(iChannel1, uv).rgb;
    gl_FragColor = vec4(iFrame == 0 ? col : mix(previous, col, 0.6), 1.0);
}

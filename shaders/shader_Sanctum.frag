// The inner sanctum: a tunnel of living tissue (iChannel0) that the viewer
// drifts down. Each pixel's angle and inverse distance from the centre map to
// the wall's texture; the walls pulse like breathing, fade into a warm glow
// at the far end, and veins of light crawl along them. iResolution has three
// components (width, height, pixel aspect).
#version 120

uniform float iTime;
uniform vec3 iResolution;
uniform sampler2D iChannel0;

varying vec2 vTexCoord;

const float kPi = 3.14159265;

void main()
{
    vec2 p = (vTexCoord - 0.5) * iResolution.xy / iResolution.y;
    p.x *= iResolution.z;
    // The tunnel winds: its centre wanders.
    p -= 0.08 * vec2(sin(iTime * 0.3), cos(iTime * 0.23));
    float angle = atan(p.y, p.x);
    float radius = length(p);
    float breathe = 1.0 + 0.06 * sin(iTime * 1.2 + radius * 6.0);
    float depth = 0.35 / max(radius * breathe, 0.01);
    vec2 wall = vec2(angle / kPi + 0.05 * sin(depth * 2.0 + iTime * 0.4), depth + iTime * 0.35);
    // Repeat wrapping carries the seam and the depth across tiles; texture
    // rows run from the picture's top.
    vec3 tissue = texture2D(iChannel0, vec2(wall.x * 2.0, 1.0 - wall.y)).rgb;
    tissue *= 0.7 + 0.5 * texture2D(iChannel0, wall * 0.5 + 0.3).g;

    float veins = pow(max(sin(wall.x * 18.0 + sin(wall.y * 3.0) * 2.0) , 0.0), 24.0);
    veins *= 0.5 + 0.5 * sin(wall.y * 4.0 - iTime * 3.0);
    vec3 colour = tissue * vec3(1.1, 0.8, 0.7) + veins * vec3(1.0, 0.55, 0.3);
    // Dark near the viewer's edge, glowing at the far end.
    float far = exp(-radius * 7.0);
    colour *= smoothstep(0.0, 0.25, radius) * 0.8 + 0.2;
    colour = mix(colour, vec3(1.0, 0.7, 0.45), far);
    colour *= 1.0 - 0.35 * smoothstep(0.5, 0.9, radius);
    gl_FragColor = vec4(colour, 1.0);
}

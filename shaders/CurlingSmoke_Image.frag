// Curling smoke: buffer A's smoke, lit from above against a dark room, with
// the embers glowing at the bottom; a fine dither breaks the banding.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer A: smoke, ember

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 px = 1.0 / iResolution;
    vec2 a = texture2D(iChannel0, uv).rg;
    float above = texture2D(iChannel0, uv + vec2(0.0, 3.0 * px.y)).r;
    float light = clamp(1.0 - (above - a.x) * 4.0, 0.3, 1.3);
    vec3 room = mix(vec3(0.03, 0.03, 0.05), vec3(0.08, 0.07, 0.1), uv.y);
    vec3 col = mix(room, vec3(0.78, 0.8, 0.85) * light, clamp(a.x, 0.0, 1.0) * 0.85);
    col += vec3(1.0, 0.4, 0.1) * a.y * 0.9;
    col += (fract(sin(dot(gl_FragCoord.xy, vec2(12.9898, 78.233))) * 43758.5453) - 0.5) / 255.0;
    gl_FragColor = vec4(col, 1.0);
}

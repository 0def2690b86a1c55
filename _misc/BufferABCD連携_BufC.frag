// Buffers A to D working together, buffer C: B's trails spread out like ink in
// water and turn green as they go.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer B
uniform sampler2D iChannel1; // this buffer's previous frame

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 px = 2.0 / iResolution;
    vec3 spread = (texture2D(iChannel1, uv + vec2(px.x, 0.0)).rgb + texture2D(iChannel1, uv - vec2(px.x, 0.0)).rgb +
                   texture2D(iChannel1, uv + vec2(0.0, px.y)).rgb + texture2D(iChannel1, uv - vec2(0.0, px.y)).rgb) *
                  0.25;
    vec3 b = texture2D(iChannel0, uv).rgb;
    vec3 col = mix(spread * vec3(0.9, 0.98, 0.92), b.gbr, 0.2);
    gl_FragColor = vec4(col, 1.0);
}

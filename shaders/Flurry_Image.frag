// Flurry: the streamers of buffer A with a soft bloom around them, on black.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel0; // buffer A

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 px = 2.0 / iResolution;
    vec3 sharp = texture2D(iChannel0, uv).rgb;
    vec3 glow = (texture2D(iChannel0, uv + vec2(px.x, 0.0)).rgb + texture2D(iChannel0, uv - vec2(px.x, 0.0)).rgb +
                 texture2D(iChannel0, uv + vec2(0.0, px.y)).rgb + texture2D(iChannel0, uv - vec2(0.0, px.y)).rgb) *
                0.25;
    vec3 col = sharp + glow * 0.6;
    col = 1.0 - exp(-col * 1.4); // soft highlights
    gl_FragColor = vec4(col, 1.0);
}

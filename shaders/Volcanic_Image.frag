// Volcanic: buffer A with the lava's heat: the glow bleeds into its
// surroundings and the air above it shimmers.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0; // buffer A: colour and lava glow

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 shimmer = vec2(sin(uv.y * 60.0 + iTime * 5.0), cos(uv.x * 50.0 + iTime * 4.0)) * 0.002;
    vec4 a = texture2D(iChannel0, uv + shimmer);
    float bloom = 0.0;
    for (int i = 0; i < 6; ++i) {
        float ang = float(i) * 1.047;
        bloom += texture2D(iChannel0, uv + vec2(cos(ang), sin(ang)) * 0.02).a;
    }
    vec3 col = a.rgb + vec3(1.0, 0.3, 0.05) * bloom / 6.0 * 0.6;
    gl_FragColor = vec4(1.0 - exp(-col * 1.3), 1.0);
}

// Galaxy spirals: buffer A's star trails around a bright core, with a dust
// lane darkening the arms and a faint glow of unresolved stars.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0; // buffer A

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    float r = length(p);
    vec3 col = texture2D(iChannel0, uv).rgb;
    float angle = atan(p.y, p.x) + iTime * 0.15;
    float arm = 0.5 + 0.5 * cos(2.0 * (angle - log(r + 0.02) * 2.2));
    col += vec3(0.35, 0.3, 0.5) * pow(arm, 3.0) * smoothstep(0.5, 0.0, r) * 0.35;
    col += vec3(1.0, 0.85, 0.6) * 0.02 / (r * r + 0.01);
    gl_FragColor = vec4(1.0 - exp(-col), 1.0);
}

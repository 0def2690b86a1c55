// Chimera's breath: the fire of buffer D through a flame palette, from dark
// red embers through orange to white-hot, over a night-dark cave.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0; // buffer D

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    float heat = texture2D(iChannel0, uv).r;
    vec3 fire = vec3(1.5, 0.5, 0.1) * heat + vec3(0.2, 0.25, 0.1) * heat * heat * heat;
    vec3 cave = mix(vec3(0.03, 0.02, 0.03), vec3(0.08, 0.05, 0.06), uv.y);
    gl_FragColor = vec4(cave + 1.0 - exp(-fire * 1.3), 1.0);
}

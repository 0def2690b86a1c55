// Inter-liquid metal blob, cube pass: a glowing room around the blob, drawn
// into a cube map one face at a time (iFace, 1024 x 1024 per face): slow bands
// of coloured light circle the walls and a bright spot faces the light, both
// turned by the light direction and phase that buffer A keeps in the state
// texture. The cube map of the pass before is not read: six million texels a
// pass on the processor at worst, so one texture read and a few dozen
// operations per texel, no trigonometry.
#version 120

uniform vec2 iResolution;
uniform int iFace;
uniform sampler2D iChannel1; // state: texel 0 = light direction and phase

vec3 FaceDirection(vec2 uv)
{
    vec2 c = uv * 2.0 - 1.0;
    if (iFace == 0)
        return vec3(1.0, -c.y, -c.x);
    if (iFace == 1)
        return vec3(-1.0, -c.y, c.x);
    if (iFace == 2)
        return vec3(c.x, 1.0, c.y);
    if (iFace == 3)
        return vec3(c.x, -1.0, -c.y);
    if (iFace == 4)
        return vec3(c.x, -c.y, 1.0);
    return vec3(-c.x, -c.y, -1.0);
}

void main()
{
    vec3 d = normalize(FaceDirection(gl_FragCoord.xy / iResolution));
    vec4 state = texture2D(iChannel1, vec2(0.25, 0.5));
    vec3 light = normalize(state.xyz + vec3(0.0, 0.001, 0.0));
    float along = dot(d, light);
    float band = abs(fract(along * 1.5 - state.w * 0.3) - 0.5) * 2.0; // 0 at a band's middle
    float stripe = clamp(1.0 - band * 5.0, 0.0, 1.0);
    vec3 tint = mix(vec3(0.2, 0.5, 1.0), vec3(1.0, 0.35, 0.6), fract(along * 0.75 + state.w * 0.05));
    float spot = max(along, 0.0);
    spot *= spot;
    spot *= spot;
    spot *= spot;
    spot *= spot; // along^16
    vec3 col = vec3(0.04, 0.05, 0.08) + tint * stripe * 0.5 + vec3(1.0, 0.95, 0.85) * spot * 1.5;
    gl_FragColor = vec4(col, 1.0);
}

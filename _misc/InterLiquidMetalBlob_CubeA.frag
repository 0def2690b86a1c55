// Inter-liquid metal blob, cube pass: a glowing room around the blob, drawn
// into a cube map one face at a time (iFace, 1024 x 1024 per face): slow bands
// of coloured light circle the walls and a bright spot faces the light, both
// turned by the light direction and phase that buffer A keeps in the state
// texture.
#version 120

uniform vec2 iResolution;
uniform int iFace;
uniform sampler2D iChannel1; // state: texel 0 = light direction and phase

// The light's components along the face's right and up axes and its outward
// normal: the face's texel at c (-1..1) looks along right * c.x + up * c.y +
// normal, so its cosine with the light is (c.x * l.x + c.y * l.y + l.z) /
// sqrt(c.x² + c.y² + 1).
vec3 LightOnFace(vec3 light)
{
    if (iFace == 0)
        return vec3(-light.z, -light.y, light.x);
    if (iFace == 1)
        return vec3(light.z, -light.y, -light.x);
    if (iFace == 2)
        return vec3(light.x, light.z, light.y);
    if (iFace == 3)
        return vec3(light.x, -light.z, -light.y);
    if (iFace == 4)
        return vec3(light.x, -light.y, light.z);
    return vec3(-light.x, -light.y, -light.z);
}

void main()
{
    // Six million texels a frame on the processor at worst: a handful of
    // multiply-adds per texel, one texture read, no trigonometry.
    vec4 state = texture2D(iChannel1, vec2(0.25, 0.5));
    vec3 l = LightOnFace(normalize(state.xyz + vec3(0.0, 0.001, 0.0)));
    vec2 c = gl_FragCoord.xy * (2.0 / iResolution) - 1.0;
    float along = (c.x * l.x + c.y * l.y + l.z) * inversesqrt(dot(c, c) + 1.0);
    float band = abs(fract(along * 1.5 - state.w * 0.3) - 0.5); // 0 at a band's middle
    float stripe = clamp(0.5 - band * 5.0, 0.0, 0.5);
    vec3 tint = mix(vec3(0.2, 0.5, 1.0), vec3(1.0, 0.35, 0.6), fract(along * 0.75 + state.w * 0.05));
    float spot = max(along, 0.0);
    spot *= spot;
    spot *= spot;
    spot *= spot;
    spot *= spot; // along^16
    gl_FragColor = vec4(vec3(0.04, 0.05, 0.08) + tint * stripe + vec3(1.5, 1.425, 1.275) * spot, 1.0);
}

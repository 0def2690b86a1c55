#version 120
// The glass model: the room seen through it and mirrored on it. Red, green and
// blue bend by slightly different amounts, so edges split into a spectrum; the
// mirrored part grows towards grazing angles (Schlick's approximation). The
// texture matrix holds the room's rotation undone, which turns eye-space
// directions into the room's own.
uniform samplerCube cubemap;
varying vec3 eyePosition;
varying vec3 eyeNormal;

const vec3 airToGlass = vec3(1.0 / 1.48, 1.0 / 1.52, 1.0 / 1.56);
const float headOnMirror = 0.06;

void main()
{
    vec3 view = normalize(eyePosition);
    vec3 normal = normalize(eyeNormal);
    normal = faceforward(normal, view, normal);
    mat3 toRoom = mat3(gl_TextureMatrix[0]);

    vec3 seen;
    seen.r = textureCube(cubemap, toRoom * refract(view, normal, airToGlass.r)).r;
    seen.g = textureCube(cubemap, toRoom * refract(view, normal, airToGlass.g)).g;
    seen.b = textureCube(cubemap, toRoom * refract(view, normal, airToGlass.b)).b;
    vec3 mirrored = textureCube(cubemap, toRoom * reflect(view, normal)).rgb;

    float facing = clamp(1.0 + dot(view, normal), 0.0, 1.0);
    float mirror = headOnMirror + (1.0 - headOnMirror) * pow(facing, 5.0);
    gl_FragColor = vec4(mix(seen, mirrored, mirror), 1.0);
}

// Inter-liquid metal blob, buffer A: a wobbling blob of liquid metal hangs in
// the glowing room of the cube pass (iChannel0) and reflects it, with a hint of
// the forest (iChannel1) seen through the room's open side. Holding Alt and
// moving the pointer turns the light. Texel (0, 0) keeps the light direction
// and a phase for the cube pass of the next frame.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform vec3 iMouse;
uniform samplerCube iChannel0; // the cube pass
uniform samplerCube iChannel1; // the forest

float Scene(vec3 p)
{
    float wobble = 0.12 * sin(p.x * 4.0 + iTime * 1.3) * sin(p.y * 3.0 + iTime) * sin(p.z * 5.0 - iTime * 0.7);
    float a = length(p - vec3(0.35 * sin(iTime * 0.8), 0.0, 0.0)) - 0.7;
    float b = length(p + vec3(0.35 * sin(iTime * 0.8), 0.2 * cos(iTime), 0.0)) - 0.55;
    float h = clamp(0.5 + 0.5 * (b - a) / 0.5, 0.0, 1.0);
    return mix(b, a, h) - 0.5 * h * (1.0 - h) + wobble;
}

vec3 Light()
{
    vec2 m = iMouse.xy / iResolution;
    float yaw = iTime * 0.25 + (iMouse.z > 0.0 ? m.x * 6.0 : 0.0);
    float pitch = 0.5 + (iMouse.z > 0.0 ? m.y - 0.5 : 0.3 * sin(iTime * 0.3));
    return normalize(vec3(cos(yaw) * cos(pitch), sin(pitch), sin(yaw) * cos(pitch)));
}

void main()
{
    if (gl_FragCoord.y < 1.0 && gl_FragCoord.x < 2.0) {
        gl_FragColor = vec4(Light(), iTime); // the state for the cube pass
        return;
    }
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    vec3 ro = vec3(0.0, 0.0, -3.0);
    vec3 rd = normalize(vec3(p, 1.5));
    float d = 0.0, s = 1.0;
    for (int i = 0; i < 40; ++i) {
        s = Scene(ro + rd * d);
        if (s < 0.002 || d > 7.0)
            break;
        d += s * 0.8;
    }
    vec3 room = textureCube(iChannel0, rd).rgb + textureCube(iChannel1, rd).rgb * 0.25;
    vec3 col = room;
    if (s < 0.01) {
        vec3 q = ro + rd * d;
        vec2 e = vec2(0.003, 0.0);
        vec3 n = normalize(vec3(Scene(q + e.xyy) - Scene(q - e.xyy), Scene(q + e.yxy) - Scene(q - e.yxy),
                                Scene(q + e.yyx) - Scene(q - e.yyx)));
        vec3 r = reflect(rd, n);
        col = textureCube(iChannel0, r).rgb * 1.2 + textureCube(iChannel1, r).rgb * 0.35;
        col *= vec3(0.9, 0.92, 1.0);
        col += pow(max(dot(r, Light()), 0.0), 40.0);
    }
    gl_FragColor = vec4(col, 1.0);
}

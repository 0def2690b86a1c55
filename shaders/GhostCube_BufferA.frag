// Ghost cube, buffer A: a glassy cube turns in the dark, only its edges and a
// faint inner haze glowing; the previous frame fades underneath, so the cube
// leaves ghostly after-images as it turns.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0; // this buffer's previous frame

mat3 Rotation(float a, float b)
{
    mat3 y = mat3(cos(a), 0.0, -sin(a), 0.0, 1.0, 0.0, sin(a), 0.0, cos(a));
    mat3 x = mat3(1.0, 0.0, 0.0, 0.0, cos(b), sin(b), 0.0, -sin(b), cos(b));
    return y * x;
}

// Distance to the nearest of the cube's twelve edges: folded into one octant,
// the edges parallel to each axis become one segment.
float Edges(vec3 p)
{
    vec3 a = abs(p) - 1.0;
    float ex = length(vec3(max(a.x, 0.0), a.y, a.z));
    float ey = length(vec3(a.x, max(a.y, 0.0), a.z));
    float ez = length(vec3(a.x, a.y, max(a.z, 0.0)));
    return min(ex, min(ey, ez));
}

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    mat3 r = Rotation(iTime * 0.7, iTime * 0.45);
    vec3 ro = r * vec3(0.0, 0.0, -4.2);
    vec3 rd = r * normalize(vec3(p, 1.6));
    float glow = 0.0;
    float d = 2.0;
    for (int i = 0; i < 32; ++i) {
        vec3 q = ro + rd * d;
        float e = Edges(q);
        glow += 0.012 / (0.01 + e * e * 40.0);
        d += max(e * 0.5, 0.05);
        if (d > 6.5)
            break;
    }
    vec3 col = vec3(0.45, 0.8, 1.0) * glow * 0.2;
    vec3 previous = texture2D(iChannel0, (uv - 0.5) * 0.985 + 0.5).rgb;
    gl_FragColor = vec4(max(col, previous * vec3(0.86, 0.88, 0.93)), 1.0);
}

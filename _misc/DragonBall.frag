// Dragon ball: an orange crystal ball with red stars floating inside it turns
// slowly in the forest, reflecting the trees and glowing warm at its core.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform samplerCube iChannel0; // the forest

// A five-pointed star in the plane, filled: > 0 inside.
float Star(vec2 p, float r)
{
    float a = atan(p.y, p.x) + 1.5708;
    float seg = 6.2832 / 5.0;
    float k = abs(mod(a, seg) - seg * 0.5) / (seg * 0.5); // 0 at a point, 1 between points
    float edge = r * mix(1.0, 0.42, k);
    return edge - length(p);
}

void main()
{
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y;
    vec3 ro = vec3(0.0, 0.0, -3.0);
    vec3 rd = normalize(vec3(p, 1.5));
    vec3 col = textureCube(iChannel0, rd).rgb;
    // The ball: a sphere of radius 1 at the origin.
    float b = dot(ro, rd), c = dot(ro, ro) - 1.0, h = b * b - c;
    if (h > 0.0) {
        float t = -b - sqrt(h);
        vec3 q = ro + rd * t;
        vec3 n = q;
        vec3 inside = refract(rd, n, 0.8);
        col = textureCube(iChannel0, inside).rgb * vec3(1.0, 0.55, 0.15) * 0.7 + vec3(0.35, 0.12, 0.0);
        // Stars on a few planes inside the ball, turning with it.
        float spin = iTime * 0.5;
        for (int i = 0; i < 4; ++i) {
            float fi = float(i);
            vec2 centre = vec2(cos(spin + fi * 1.571), sin(spin * 0.7 + fi * 1.571)) * 0.35;
            vec2 s = q.xy + inside.xy * (0.3 + 0.15 * fi) - centre;
            col = mix(col, vec3(0.95, 0.1, 0.05), smoothstep(0.0, 0.015, Star(s, 0.13)));
        }
        col += vec3(1.0, 0.6, 0.2) * pow(max(0.0, 1.0 - length(q.xy)), 2.0) * 0.4;
        float fresnel = 0.1 + 0.9 * pow(1.0 - max(dot(n, -rd), 0.0), 4.0);
        col = mix(col, textureCube(iChannel0, reflect(rd, n)).rgb, fresnel);
        col += pow(max(dot(reflect(rd, n), normalize(vec3(0.55, 0.42, 0.72))), 0.0), 90.0);
    }
    gl_FragColor = vec4(col, 1.0);
}

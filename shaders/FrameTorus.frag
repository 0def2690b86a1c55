// The shader frame: a polished ring round the edge of the clock, lit like a
// torus. With a texture (iChannel1, the ExtTexture setting) the ring is wrapped
// in it; without one it is brushed silver. Everything off the ring is pure
// black, which the clock treats as transparent, so the ring itself never is.
#version 120

uniform vec2 iResolution;
uniform sampler2D iChannel1;

varying vec2 vTexCoord;

const float TAU = 6.2831853;
const float RING = 58.0;  // centre line of the tube (dial units, 65 = edge)
const float TUBE = 6.6;   // tube radius

bool HasTexture()
{
    // Without a texture file iChannel1 samples as black everywhere.
    vec3 sum = texture2D(iChannel1, vec2(0.13, 0.29)).rgb + texture2D(iChannel1, vec2(0.61, 0.77)).rgb +
               texture2D(iChannel1, vec2(0.87, 0.41)).rgb + texture2D(iChannel1, vec2(0.37, 0.93)).rgb;
    return dot(sum, vec3(1.0)) > 0.0;
}

void main()
{
    float px = 130.0 / min(iResolution.x, iResolution.y);
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) * px;
    float r = length(p);
    float t = (r - RING) / TUBE; // -1 inner edge ... 1 outer edge
    float cover = clamp((TUBE - abs(r - RING)) / px + 0.5, 0.0, 1.0);
    if (cover <= 0.0) {
        gl_FragColor = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }

    // Surface normal of the tube at this point, lit from the upper left.
    float tc = clamp(t, -1.0, 1.0);
    vec2 radial = p / max(r, 1e-3);
    vec3 n = normalize(vec3(radial * tc, sqrt(max(1.0 - tc * tc, 0.0))));
    vec3 light = normalize(vec3(-0.5, 0.6, 0.65));
    float diffuse = max(dot(n, light), 0.0);
    vec3 h = normalize(light + vec3(0.0, 0.0, 1.0));
    float specular = pow(max(dot(n, h), 0.0), 40.0);
    float rimShade = 0.55 + 0.45 * sqrt(max(1.0 - tc * tc, 0.0));

    float angle = atan(p.x, p.y) / TAU + 0.5;
    vec3 base;
    if (HasTexture()) {
        base = texture2D(iChannel1, vec2(angle * 6.0, asin(tc) / 3.14159 + 0.5)).rgb;
    } else {
        // Brushed silver: fine circular streaks.
        float streak = fract(sin(floor(r * 9.0) * 12.9898) * 43758.5453);
        base = vec3(0.72, 0.73, 0.76) * (0.92 + 0.08 * streak);
    }
    vec3 col = base * (0.25 + 0.85 * diffuse) * rimShade + vec3(specular * 0.9);
    // The edge fades towards black, but a pixel that belongs to the ring never
    // becomes the transparent black itself.
    col = cover > 0.25 ? max(col * cover, vec3(2.0 / 255.0)) : vec3(0.0);
    gl_FragColor = vec4(col, 1.0);
}

// Warping: the picture below flows like a reflection on slow water. Two layers
// of value noise push the lookup around, a breathing swirl turns the middle,
// and the colour channels part a little where the push is strongest.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0;

varying vec2 vTexCoord;

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(41.3, 289.1))) * 45758.231);
}

float Noise(vec2 p)
{
    vec2 i = floor(p);
    vec2 f = fract(p);
    f = f * f * (3.0 - 2.0 * f);
    return mix(mix(Hash(i), Hash(i + vec2(1.0, 0.0)), f.x), mix(Hash(i + vec2(0.0, 1.0)), Hash(i + 1.0), f.x),
               f.y);
}

vec2 Flow(vec2 p, float t)
{
    return vec2(Noise(p + vec2(0.0, t)), Noise(p + vec2(5.2, 1.3 - t))) - 0.5;
}

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    float t = iTime * 0.45;

    vec2 push = Flow(uv * 2.6, t);
    push += 0.5 * Flow(uv * 5.3 + push * 2.0, t * 1.4);
    push *= 0.075;

    vec2 c = uv - 0.5;
    float turn = 0.6 * sin(iTime * 0.6) * smoothstep(0.55, 0.0, length(c));
    c = mat2(cos(turn), sin(turn), -sin(turn), cos(turn)) * c;
    vec2 q = 0.5 + c + push;

    vec2 split = push * 0.18;
    vec3 col = vec3(texture2D(iChannel0, q + split).r, texture2D(iChannel0, q).g,
                    texture2D(iChannel0, q - split).b);
    // A soft sheen on the slopes of the flow.
    col += vec3(0.9, 0.95, 1.0) * 1.6 * max(dot(push, vec2(0.7, 0.7)), 0.0);
    gl_FragColor = vec4(col, 1.0);
}

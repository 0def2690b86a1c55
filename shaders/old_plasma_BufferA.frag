// Old plasma, buffer A: the demo-scene plasma of sines, with its previous frame
// swirled a little and blended in, so the bands smear into soft eddies.
// Red: the plasma value; green: its smeared memory.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0; // this buffer's previous frame

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 p = (gl_FragCoord.xy - 0.5 * iResolution) / iResolution.y * 6.0;
    float t = iTime;
    float v = sin(p.x + t) + sin(p.y * 1.3 - t * 0.8) + sin((p.x + p.y) * 0.7 + t * 1.3) +
              sin(length(p + vec2(sin(t * 0.5) * 3.0, cos(t * 0.4) * 3.0)) * 1.6 - t);
    // Swirl the memory around the centre before blending.
    vec2 c = uv - 0.5;
    float a = 0.02 * (1.0 - length(c));
    vec2 q = vec2(c.x * cos(a) - c.y * sin(a), c.x * sin(a) + c.y * cos(a)) * 0.995 + 0.5;
    float memory = texture2D(iChannel0, q).g;
    gl_FragColor = vec4(v, mix(memory, v, 0.12), 0.0, 1.0);
}

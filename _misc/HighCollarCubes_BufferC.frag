// High-collar cubes, buffers C and D (one file for both): a calm copy of the
// input (iChannel0), half new and half the pass's own previous frame. As C it
// steadies B's cubes; as D it steadies A's finished picture.
#version 120

uniform vec2 iResolution;
uniform int iFrame;
uniform sampler2D iChannel0; // the input: B for C, A for D
uniform sampler2D iChannel1; // this buffer's previous frame

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec3 input_ = texture2D(iChannel0, uv).rgb;
    vec3 previous = texture2D(iChannel1, uv).rgb;
    gl_FragColor = vec4(iFrame == 0 ? input_ : mix(previous, input_, 0.5), 1.0);
}

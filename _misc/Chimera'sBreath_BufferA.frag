// Chimera's breath, buffer A: where the fire comes from. Red: the breath
// leaving the beast's mouth at the lower left, pulsing with each exhalation
// (while Alt is held, from the pointer instead). Green: the heat of the fire so
// far, buffer C's older frame, for the buoyancy and for the picture.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform int iFrame;
uniform vec4 iMouse;
uniform sampler2D iChannel0; // buffer C, older frame

void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 mouth = vec2(0.12, 0.28);
    if (iMouse.z > 0.0)
        mouth = iMouse.xy / iResolution;
    float pulse = 0.6 + 0.4 * sin(iTime * 3.0) * sin(iTime * 1.3);
    vec2 d = (uv - mouth) * vec2(1.0, 1.6);
    float breath = smoothstep(0.09, 0.0, length(d)) * pulse;
    gl_FragColor = vec4(breath, texture2D(iChannel0, uv).r, 0.0, 1.0);
}

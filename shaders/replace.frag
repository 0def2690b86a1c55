#version 120
// The room box: the strip's colour as it is, opaque.
uniform sampler2D texture;
varying vec2 stripCoord;

void main()
{
    gl_FragColor = vec4(texture2D(texture, stripCoord).rgb, 1.0);
}

#version 120
// The room box: fixed-function vertices and their strip coordinates.
varying vec2 stripCoord;

void main()
{
    stripCoord = gl_MultiTexCoord0.st;
    gl_Position = ftransform();
}

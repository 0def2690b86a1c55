// Shared vertex stage of every full-screen pass: the quad comes in clip space,
// with its texture coordinate (0,0 bottom-left to 1,1 top-right).
#version 120

attribute vec2 position;
attribute vec2 texcoord;

varying vec2 vTexCoord;

void main()
{
    vTexCoord = texcoord;
    gl_Position = vec4(position, 0.0, 1.0);
}

// Vertex stage of the sanctum when it runs on its own: the full-screen quad
// arrives in clip space with its texture coordinate, which goes on as vTexCoord
// (as with the shared full-screen vertex stage, so the sanctum's fragment stage
// pairs with either).
#version 120

attribute vec2 position;
attribute vec2 texcoord;

varying vec2 vTexCoord;

void main()
{
    vTexCoord = texcoord;
    gl_Position = vec4(position, 0.0, 1.0);
}

#version 120
// The glass model: eye-space position and normal for the per-pixel look-ups.
varying vec3 eyePosition;
varying vec3 eyeNormal;

void main()
{
    eyePosition = vec3(gl_ModelViewMatrix * gl_Vertex);
    eyeNormal = gl_NormalMatrix * gl_Normal;
    gl_Position = ftransform();
}

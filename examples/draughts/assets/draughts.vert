// Draughts demo: passes eye-space position and normal on for per-pixel light.
#version 120

varying vec3 v_Position;
varying vec3 v_Normal;

void main()
{
    v_Position = vec3(gl_ModelViewMatrix * gl_Vertex);
    v_Normal = gl_NormalMatrix * gl_Normal;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}

uniform vec3 tint;
uniform float weights[4];
uniform mat4 transform;

void main()
{
    float w = weights[0] + weights[1] + weights[2] + weights[3];
    gl_FragColor = transform * vec4(tint * w, 1.0);
}

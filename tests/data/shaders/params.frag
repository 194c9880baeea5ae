#extension GL_ARB_texture_rectangle : enable
uniform vec3 tint;
uniform float weights[4];
uniform mat4 transform;
uniform sampler1D line;
uniform sampler2D picture;
uniform sampler3D volume;
uniform sampler2DRect rectangle;

void main()
{
    float w = weights[0] + weights[1] + weights[2] + weights[3];
    vec4 sampled = texture1D(line, 0.5) + texture2D(picture, vec2(0.5)) + texture3D(volume, vec3(0.5)) +
                   texture2DRect(rectangle, vec2(0.5));
    gl_FragColor = transform * vec4(tint * w, 1.0) + sampled;
}

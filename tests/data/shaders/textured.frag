uniform sampler2D TextureID;
uniform sampler2D NormalsID;
uniform float bump;

void main()
{
    vec4 colour = texture2D(TextureID, gl_TexCoord[0].st);
    vec4 normal = texture2D(NormalsID, gl_TexCoord[0].st);
    gl_FragColor = mix(colour, normal, bump);
}

uniform sampler2D TextureID;

void main()
{
    gl_FragColor = texture2D(TextureID, gl_TexCoord[0].st);
}

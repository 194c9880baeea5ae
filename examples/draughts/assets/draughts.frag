// Draughts demo: the picture on unit 0, its normal map (if any) on unit 1,
// lit per pixel by the first two fixed-function lights. The material's
// diffuse colour is white except on highlighted squares, whose tint it is.
#version 120

uniform sampler2D TextureID;
uniform sampler2D NormalsID;

varying vec3 v_Position;
varying vec3 v_Normal;

// Tangent frame from screen-space derivatives, as the models carry no tangents.
mat3 surfaceFrame(vec3 n, vec3 p, vec2 uv)
{
    vec3 dp1 = dFdx(p);
    vec3 dp2 = dFdy(p);
    vec2 duv1 = dFdx(uv);
    vec2 duv2 = dFdy(uv);
    vec3 dp2perp = cross(dp2, n);
    vec3 dp1perp = cross(n, dp1);
    vec3 t = dp2perp * duv1.x + dp1perp * duv2.x;
    vec3 b = dp2perp * duv1.y + dp1perp * duv2.y;
    float scale = inversesqrt(max(max(dot(t, t), dot(b, b)), 1e-12));
    return mat3(t * scale, b * scale, n);
}

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec4 albedo = texture2D(TextureID, uv);
    vec3 n = normalize(v_Normal);
    // Nothing bound on unit 1 reads as black: keep the surface's own normal.
    vec3 bump = texture2D(NormalsID, uv).rgb;
    if (dot(bump, bump) > 0.01)
        n = normalize(surfaceFrame(n, v_Position, uv) * (bump * 2.0 - 1.0));

    vec3 view = normalize(-v_Position);
    vec3 diffuse = vec3(0.30);
    vec3 specular = vec3(0.0);
    for (int i = 0; i < 2; ++i)
    {
        vec4 position = gl_LightSource[i].position;
        vec3 toLight = position.w == 0.0 ? normalize(position.xyz) : normalize(position.xyz - v_Position);
        float spot = 1.0;
        if (gl_LightSource[i].spotCutoff <= 90.0)
            spot = dot(-toLight, normalize(gl_LightSource[i].spotDirection)) >= gl_LightSource[i].spotCosCutoff ? 1.0 : 0.0;
        float facing = max(dot(n, toLight), 0.0);
        diffuse += spot * facing * gl_LightSource[i].diffuse.rgb;
        if (facing > 0.0)
            specular += spot * pow(max(dot(n, normalize(toLight + view)), 0.0), 24.0) * gl_LightSource[i].specular.rgb;
    }

    vec3 colour = albedo.rgb * diffuse + 0.25 * specular;
    vec3 tint = gl_FrontMaterial.diffuse.rgb;
    float tinted = 1.0 - min(tint.r, min(tint.g, tint.b));
    colour = mix(colour, tint * (0.35 + 0.65 * diffuse), 0.5 * tinted);
    gl_FragColor = vec4(colour, 1.0);
}

#pragma once

#include <TabulaExport.h>

#include <Math/Vec3.h>
#include <Math/Vec4.h>

namespace Rendering
{

/// One fixed-function light, GL_LIGHT0 + id, handed to OpenGL by apply() in
/// every frame. Position and direction are in the scene's coordinates (after
/// the engine's scale and turn). Values are not validated: OpenGL's own range
/// rules decide, and a refused value leaves OpenGL's previous one.
class TABULA_EXPORT Light
{
public:
    /// Colours and position zero; attenuation and spot values start at
    /// OpenGL's own defaults (1, 0, 0; exponent 0, cut-off 180).
    Light();

    /// Stores the number, then init().
    void setId(unsigned int id);
    unsigned int getId() const { return m_Id; }
    /// Enables the light and forces the alpha of the three colours to 1.
    void init();

    void setDiffuseColor(const Vec4<float>& color) { m_Diffuse = color; }
    void setSpecularColor(const Vec4<float>& color) { m_Specular = color; }
    void setPosition(const Vec4<float>& position) { m_LightPosition = position; }
    void setDirection(const Vec3<float>& direction) { m_Direction = direction; }
    void setSpotExponent(float exponent) { m_SpotExponent = exponent; }
    void setSpotCutOff(float degrees) { m_SpotCutOff = degrees; }

    const Vec4<float>& getAmbientColor() const { return m_Ambient; }
    const Vec4<float>& getDiffuseColor() const { return m_Diffuse; }
    const Vec4<float>& getSpecularColor() const { return m_Specular; }

    void apply();

private:
    unsigned int m_Id;
    Vec4<float> m_Ambient;
    Vec4<float> m_Diffuse;
    Vec4<float> m_Specular;
    Vec4<float> m_LightPosition;
    Vec3<float> m_Direction;
    float m_ConstantAttenuation;
    float m_LinearAttenuation;
    float m_QuadraticAttenuation;
    float m_SpotExponent;
    float m_SpotCutOff;
};

} // namespace Rendering

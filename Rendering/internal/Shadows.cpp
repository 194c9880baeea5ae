#include <Rendering/internal/Shadows.h>

#include <cmath>

#include <GL/glew.h>

#include <Core/Board.h>
#include <Core/Square.h>
#include <Rendering/Shader.h>

namespace Rendering
{

namespace
{
// Squares lie this high; shadows are flattened onto their plane.
const double c_Face = 0.001;
// Light sample offsets, across the light's direction (radians of spread):
// together they leave an umbra darkened to c_Umbra and a soft edge.
const double c_Spread = 0.05;
const int c_Samples = 3;
const double c_Umbra = 0.55;
// Stencil bit 0 marks the visible top face; bit 1 + k the pixels that
// sample k has darkened.
const GLuint c_TopFace = 1;

// Projects along `l` (pointing up, towards the light) onto the plane y = c_Face.
void flatten(const Vec3<double>& l)
{
    const double ax = l.x() / l.y(), az = l.z() / l.y();
    const double m[16] = {1, 0, 0, 0, -ax, 0, -az, 0, 0, 0, 1, 0, ax * c_Face, c_Face, az * c_Face, 1};
    glMultMatrixd(m);
}

// `l` turned by `angle` about the unit vector `axis`.
Vec3<double> turned(const Vec3<double>& l, const Vec3<double>& axis, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    const double dot = axis.x() * l.x() + axis.y() * l.y() + axis.z() * l.z();
    const Vec3<double> cross(axis.y() * l.z() - axis.z() * l.y(), axis.z() * l.x() - axis.x() * l.z(),
                             axis.x() * l.y() - axis.y() * l.x());
    return Vec3<double>(l.x() * c + cross.x() * s + axis.x() * dot * (1 - c),
                        l.y() * c + cross.y() * s + axis.y() * dot * (1 - c),
                        l.z() * c + cross.z() * s + axis.z() * dot * (1 - c));
}
} // namespace

void Shadows::draw(const Core::Board& board, const Vec3<double>& towardsLight)
{
    const double length = std::sqrt(towardsLight.x() * towardsLight.x() + towardsLight.y() * towardsLight.y() +
                                    towardsLight.z() * towardsLight.z());
    if (!(towardsLight.y() > 0.0) || length <= 0.0)
        return;
    const Vec3<double> l(towardsLight.x() / length, towardsLight.y() / length, towardsLight.z() / length);
    // A horizontal axis across the light: the samples spread the light sideways.
    const double across = std::sqrt(l.x() * l.x() + l.z() * l.z());
    const Vec3<double> axis = across > 1e-9 ? Vec3<double>(-l.z() / across, 0, l.x() / across) : Vec3<double>(1, 0, 0);

    const double w = board.getSize().x(), h = board.getSize().y();
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT |
                 GL_POLYGON_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_TEXTURE_BIT);
    Shader::unApply();
    glPushMatrix();
    glTranslated(w / -2.0, 0, h / 2.0);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_STENCIL_TEST);
    glStencilMask(0xff);

    // The top face where it is seen (not behind a piece) gets bit 0.
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-1.0f, -1.0f);
    glStencilFunc(GL_ALWAYS, c_TopFace, c_TopFace);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glBegin(GL_QUADS);
    glVertex3d(0, c_Face, 0);
    glVertex3d(w, c_Face, 0);
    glVertex3d(w, c_Face, -h);
    glVertex3d(0, c_Face, -h);
    glEnd();
    glDisable(GL_POLYGON_OFFSET_FILL);

    // Each sample darkens a marked pixel once, whatever the colour the
    // pieces draw with: the blend ignores the fragment.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    const GLfloat keep = static_cast<GLfloat>(std::pow(c_Umbra, 1.0 / c_Samples));
    glBlendColor(keep, keep, keep, 1.0f);
    glBlendFunc(GL_ZERO, GL_CONSTANT_COLOR);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
    for (int k = 0; k < c_Samples; ++k)
    {
        const GLuint bit = 2u << k;
        glStencilFunc(GL_EQUAL, c_TopFace, c_TopFace | bit);
        glStencilMask(bit);
        glPushMatrix();
        flatten(turned(l, axis, c_Spread * (k - (c_Samples - 1) / 2.0)));
        for (const Core::Square* square : board.getSquares())
            if (square)
                square->drawObjects();
        glPopMatrix();
    }
    glPopMatrix();
    glPopAttrib();
}

} // namespace Rendering

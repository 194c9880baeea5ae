#include <Core/Object.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include <GL/freeglut.h>

#include <Core/MeshManager.h>
#include <Rendering/Mesh.h>
#include <Rendering/Render.h>
#include <Rendering/Texture.h>
#include <Rendering/internal/EngineState.h>
#include <Rendering/internal/PickRegion.h>

namespace Core
{

namespace
{
// A sphere of radius 0.2 drawn this high seems to rest on the board.
const double c_SphereLift = 0.076;
const double c_MeshClearance = 0.02;
using Rendering::c_SphereRadius;
// A centred piece's lowest point rests on its square's face, this high.
const double c_SquareFace = 0.001;

// The engine's list of the sphere; drawn directly where the engine's OpenGL
// set-up has not run (a program drawing pieces on its own).
void drawSphere()
{
    if (const unsigned int list = Rendering::engineState().m_SphereList)
        glCallList(list);
    else
        glutSolidSphere(c_SphereRadius, 10, 10);
}

// Rotation matrix of a unit quaternion: r[row][column], v' = r v.
void rotationOf(const Quat<double>& turn, double (&r)[3][3])
{
    const Matrix<double> m = turn.getMatrix();
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            r[row][column] = m[row * 4 + column];
}

// The box around the box from `lower` to `upper` once turned about the origin.
void turnBox(const Quat<double>& turn, Vec3<double>& lower, Vec3<double>& upper)
{
    double r[3][3];
    rotationOf(turn, r);
    const Vec3<double> centre = (lower + upper) * 0.5;
    const Vec3<double> half = (upper - lower) * 0.5;
    for (int row = 0; row < 3; ++row)
    {
        double middle = 0.0, reach = 0.0;
        for (int column = 0; column < 3; ++column)
        {
            middle += r[row][column] * centre.ptr()[column];
            reach += std::fabs(r[row][column]) * std::fabs(half.ptr()[column]);
        }
        lower.ptr()[row] = middle - reach;
        upper.ptr()[row] = middle + reach;
    }
}
} // namespace

void Object::setHeading(double degrees)
{
    m_Orientation = Quat<double>(degrees * M_PI / 180.0, Vec3<double>(0, 1, 0));
}

double Object::getHeading() const
{
    double r[3][3];
    rotationOf(m_Orientation, r);
    // The turned +z axis is the third column.
    if (std::fabs(r[0][2]) < 1e-12 && std::fabs(r[2][2]) < 1e-12)
        return 0.0;
    return std::atan2(r[0][2], r[2][2]) * 180.0 / M_PI;
}

void Object::applyTurn() const
{
    const Quat<double> turn = m_DrawTurn * m_Orientation;
    if (turn.x() == 0.0 && turn.y() == 0.0 && turn.z() == 0.0)
        return;
    // getMatrix lays the rotation out by rows; OpenGL reads columns.
    glMultMatrixd(turn.conjuguate().getMatrix().getPtr());
}

double Object::turnedHeight() const
{
    Vec3<double> lower = m_Aabb.getMin(), upper = m_Aabb.getMax();
    turnBox(m_Orientation, lower, upper);
    return upper.y() - lower.y();
}

Object::Object(const ObjectAlignment& alignment, const std::string& modelFile)
    : m_ParentSquare(nullptr), m_Alignment(alignment), m_Mesh(nullptr), m_Aabb(nullptr), m_Scale(1.0),
      m_DrawBound(false), m_SquareRefs(0)
{
    setMesh(modelFile);
}

Object::Object(const Object& other)
    : Drawable(other), m_ParentSquare(other.m_ParentSquare), m_Alignment(other.m_Alignment), m_Mesh(other.m_Mesh),
      m_Aabb(other.m_Aabb), m_Scale(other.m_Scale), m_DrawBound(other.m_DrawBound), m_Orientation(other.m_Orientation),
      m_SquareRefs(0)
{
    // The copy holds its own use of the shared mesh, so removeMesh on either
    // piece never destroys the mesh under the other.
    if (m_Mesh)
        MeshManager::instance()->retainMesh(m_Mesh);
}

Object::~Object() = default;

void Object::setMesh(const std::string& modelFile)
{
    removeMesh();
    if (modelFile.empty())
        return;
    MeshManager::instance()->addMesh(modelFile, m_Mesh);
    m_Aabb.setMesh(m_Mesh);
}

void Object::removeMesh()
{
    if (!m_Mesh)
        return;
    MeshManager::instance()->removeMesh(m_Mesh);
    m_Mesh = nullptr;
    m_Aabb.reset();
}

double Object::deltaTranslateY() const
{
    return getBodyOffset().y();
}

Vec3<double> Object::getBodyOffset() const
{
    if (!m_Mesh)
        return Vec3<double>(0, c_SphereLift, 0);
    if (!Rendering::Render::instance()->getLook().m_CentredPieces)
        return Vec3<double>(0, turnedHeight() * m_Scale / 2.0 + c_MeshClearance, 0);
    Vec3<double> a = m_Aabb.getMin() * m_Scale, b = m_Aabb.getMax() * m_Scale;
    turnBox(m_Orientation, a, b);
    return Vec3<double>(-(a.x() + b.x()) / 2.0, c_SquareFace - std::min(a.y(), b.y()), -(a.z() + b.z()) / 2.0);
}

double Object::getHeight() const
{
    if (!m_Mesh)
        return c_SphereLift + c_SphereRadius * m_Scale;
    if (Rendering::Render::instance()->getLook().m_CentredPieces)
        return std::fabs(turnedHeight() * m_Scale) + c_SquareFace;
    return turnedHeight() * m_Scale + c_MeshClearance;
}

void Object::draw() const
{
    // The box the body (and its wire box) fills once lifted and scaled.
    Vec3<double> lower(-c_SphereRadius, -c_SphereRadius, -c_SphereRadius);
    Vec3<double> upper(c_SphereRadius, c_SphereRadius, c_SphereRadius);
    if (m_Mesh)
    {
        lower = m_Aabb.getMin() * m_Scale;
        upper = m_Aabb.getMax() * m_Scale;
        // A negative scale mirrors the box.
        if (m_Scale < 0)
            std::swap(lower, upper);
    }
    turnBox(m_DrawTurn * m_Orientation, lower, upper);
    const Vec3<double> lift = getBodyOffset();
    if (Rendering::PickRegion::mayHit(lower + lift, upper + lift))
        drawInOwnName();
}

void Object::drawBody() const
{
    if (m_Mesh)
    {
        m_Mesh->draw();
        if (m_DrawBound)
            m_Aabb.draw();
    }
    else
        drawSphere();
}

void Object::drawWithTexture() const
{
    glPushMatrix();
    const Vec3<double> offset = getBodyOffset();
    glTranslated(offset.x(), offset.y(), offset.z());
    applyTurn();
    glScaled(m_Scale, m_Scale, m_Scale);
    glColor4d(1, 1, 1, 1);
    m_Texture->apply();
    drawBody();
    Rendering::Texture::unApply();
    glPopMatrix();
}

void Object::drawWithColor() const
{
    glPushMatrix();
    const Vec3<double> offset = getBodyOffset();
    glTranslated(offset.x(), offset.y(), offset.z());
    applyTurn();
    glScaled(m_Scale, m_Scale, m_Scale);
    applyColorMaterial();
    glColor4d(m_Color.x(), m_Color.y(), m_Color.z(), m_Color.w());
    drawBody();
    glPopMatrix();
}

} // namespace Core

#include <Core/Object.h>

#include <utility>

#include <GL/freeglut.h>

#include <Core/MeshManager.h>
#include <Rendering/Mesh.h>
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

// The engine's list of the sphere; drawn directly where the engine's OpenGL
// set-up has not run (a program drawing pieces on its own).
void drawSphere()
{
    if (const unsigned int list = Rendering::engineState().m_SphereList)
        glCallList(list);
    else
        glutSolidSphere(c_SphereRadius, 10, 10);
}
} // namespace

Object::Object(const ObjectAlignment& alignment, const std::string& modelFile)
    : m_ParentSquare(nullptr), m_Alignment(alignment), m_Mesh(nullptr), m_Aabb(nullptr), m_Scale(1.0),
      m_DrawBound(false), m_SquareRefs(0)
{
    setMesh(modelFile);
}

Object::Object(const Object& other)
    : Drawable(other), m_ParentSquare(other.m_ParentSquare), m_Alignment(other.m_Alignment), m_Mesh(other.m_Mesh),
      m_Aabb(other.m_Aabb), m_Scale(other.m_Scale), m_DrawBound(other.m_DrawBound), m_SquareRefs(0)
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
    if (!m_Mesh)
        return c_SphereLift;
    return m_Aabb.getSize().y() * m_Scale / 2.0 + c_MeshClearance;
}

double Object::getHeight() const
{
    if (!m_Mesh)
        return c_SphereLift + c_SphereRadius * m_Scale;
    return m_Aabb.getSize().y() * m_Scale + c_MeshClearance;
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
    const Vec3<double> lift(0, deltaTranslateY(), 0);
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
    glTranslated(0, deltaTranslateY(), 0);
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
    glTranslated(0, deltaTranslateY(), 0);
    glScaled(m_Scale, m_Scale, m_Scale);
    applyColorMaterial();
    glColor4d(m_Color.x(), m_Color.y(), m_Color.z(), m_Color.w());
    drawBody();
    glPopMatrix();
}

} // namespace Core

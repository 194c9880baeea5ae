#include <Rendering/Aabb.h>

#include <GL/gl.h>

#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>
#include <Rendering/internal/PickRegion.h>

namespace Rendering
{

namespace
{
// The single-precision 3.4e38, widened: larger than any coordinate a model holds.
const double c_Far = static_cast<double>(3.4e38f);
} // namespace

Aabb::Aabb(Mesh* mesh) : m_Mesh(mesh)
{
    compute();
}

void Aabb::setMesh(Mesh* mesh)
{
    m_Mesh = mesh;
    compute();
}

void Aabb::reset()
{
    m_Mesh = nullptr;
    m_Min = Vec3<double>();
    m_Max = Vec3<double>();
}

void Aabb::compute()
{
    if (!m_Mesh)
    {
        reset();
        return;
    }
    m_Min = Vec3<double>(c_Far, c_Far, c_Far);
    m_Max = Vec3<double>(-c_Far, -c_Far, -c_Far);
    for (Geometry* geometry : m_Mesh->getGeometries())
        for (const Vec3<double>& v : geometry->getVertexArray())
        {
            if (m_Min.x() > v.x())
                m_Min.x() = v.x();
            if (m_Min.y() > v.y())
                m_Min.y() = v.y();
            if (m_Min.z() > v.z())
                m_Min.z() = v.z();
            if (m_Max.x() < v.x())
                m_Max.x() = v.x();
            if (m_Max.y() < v.y())
                m_Max.y() = v.y();
            if (m_Max.z() < v.z())
                m_Max.z() = v.z();
        }
}

void Aabb::draw() const
{
    const double x0 = m_Min.x(), y0 = m_Min.y(), z0 = m_Min.z();
    const double x1 = m_Max.x(), y1 = m_Max.y(), z1 = m_Max.z();
    const double loops[4][4][3] = {
        {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0}},
        {{x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}},
        {{x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}},
        {{x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x1, y1, z0}},
    };
    glPushMatrix();
    glColor3d(0, 1, 0);
    const bool selecting = PickRegion::selecting();
    for (const auto& loop : loops)
    {
        if (selecting)
        {
            PickRegion::drawVertices(GL_LINE_LOOP, loop[0], 4);
            continue;
        }
        glBegin(GL_LINE_LOOP);
        for (const auto& corner : loop)
            glVertex3dv(corner);
        glEnd();
    }
    glColor3d(1, 1, 1);
    glPopMatrix();
}

} // namespace Rendering

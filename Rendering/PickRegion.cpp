#include <Rendering/internal/PickRegion.h>

#include <algorithm>
#include <cmath>

// GLEW must come before any other OpenGL header.
#include <GL/glew.h>

#include <Math/Matrix.h>
#include <Rendering/internal/EngineState.h>

namespace Rendering
{

namespace
{
// Relative margin by which a corner must lie beyond a plane to count as
// outside, so that Mesa's single-precision clipping can never keep a
// primitive this test dropped.
const double c_Margin = 1e-5;
} // namespace

bool PickRegion::selecting()
{
    GLint mode = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    return mode == GL_SELECT;
}

bool PickRegion::clipMatrix(double (&toClip)[16])
{
    if (!engineState().m_PickSkipping || !selecting())
        return false;
    double projection[16], modelView[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    // The model-view applied first, then the projection.
    const Matrix<double> product = Matrix<double>::fromArray(modelView) * Matrix<double>::fromArray(projection);
    std::copy(product.getPtr(), product.getPtr() + 16, toClip);
    return true;
}

bool PickRegion::boxReaches(const double (&toClip)[16], const Vec3<double>& min, const Vec3<double>& max)
{
    if (min.x() > max.x() || min.y() > max.y() || min.z() > max.z())
        return true;
    // Corners beyond each plane: x > w, x < -w, y > w, y < -w, z > w, z < -w.
    int beyond[6] = {0, 0, 0, 0, 0, 0};
    const Matrix<double> matrix = Matrix<double>::fromArray(toClip);
    for (int corner = 0; corner < 8; ++corner)
    {
        const Vec4<double> p(corner & 1 ? max.x() : min.x(), corner & 2 ? max.y() : min.y(),
                             corner & 4 ? max.z() : min.z(), 1.0);
        const Vec4<double> transformed = matrix.transform(p);
        const double* clip = transformed.ptr();
        const double w = clip[3];
        for (int axis = 0; axis < 3; ++axis)
        {
            const double margin = c_Margin * (std::fabs(clip[axis]) + std::fabs(w));
            if (clip[axis] - w > margin)
                ++beyond[axis * 2];
            if (-clip[axis] - w > margin)
                ++beyond[axis * 2 + 1];
        }
    }
    for (int count : beyond)
        if (count == 8)
            return false;
    return true;
}

bool PickRegion::mayHit(const Vec3<double>& min, const Vec3<double>& max)
{
    double toClip[16];
    return !clipMatrix(toClip) || boxReaches(toClip, min, max);
}

void PickRegion::setSkipping(bool on)
{
    engineState().m_PickSkipping = on;
}

bool PickRegion::isSkipping()
{
    return engineState().m_PickSkipping;
}

void PickRegion::drawVertices(unsigned int mode, const double* xyz, int count)
{
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    // Arrays a game may have left on must not be read with our vertices.
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    // A bound array buffer would turn the pointer below into an offset.
    if (glBindBuffer)
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_DOUBLE, 0, xyz);
    glDrawArrays(mode, 0, count);
    glPopClientAttrib();
}

} // namespace Rendering

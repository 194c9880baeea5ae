#include "support/Feedback.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

namespace TabulaTest
{

FeedbackCapture captureFeedback(const std::function<void()>& draw, double scale)
{
    std::vector<GLfloat> buffer(1 << 20);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glViewport(0, 0, 1000, 1000);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glScaled(scale, scale, scale);

    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);

    FeedbackCapture capture;
    auto vertex = [&](GLint& i)
    {
        // Window coordinates back to the drawing's own, before the scale.
        FedVertex v{(buffer[i] / 500.0 - 1.0) / scale,
                    (buffer[i + 1] / 500.0 - 1.0) / scale,
                    (buffer[i + 2] * 2.0 - 1.0) / scale,
                    {buffer[i + 3], buffer[i + 4], buffer[i + 5], buffer[i + 6]}};
        i += 7;
        return v;
    };
    for (GLint i = 0; i < count;)
    {
        const GLint token = static_cast<GLint>(buffer[i++]);
        if (token == GL_POLYGON_TOKEN)
        {
            const GLint n = static_cast<GLint>(buffer[i++]);
            std::vector<FedVertex> polygon;
            for (GLint k = 0; k < n; ++k)
                polygon.push_back(vertex(i));
            capture.polygons.push_back(polygon);
        }
        else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN)
            capture.lines.push_back({vertex(i), vertex(i)});
        else if (token == GL_POINT_TOKEN)
            capture.points.push_back(vertex(i));
        else if (token == GL_BITMAP_TOKEN || token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN)
            vertex(i);
        else if (token == GL_PASS_THROUGH_TOKEN)
            ++i;
        else
            break;
    }
    return capture;
}

Bounds boxOf(const std::vector<std::vector<FedVertex>>& shapes)
{
    Bounds box;
    for (const auto& shape : shapes)
        for (const FedVertex& v : shape)
            box.add(v.x, v.y, v.z);
    return box;
}

void expectTurned(const FeedbackCapture& plain, const FeedbackCapture& turned, const Quat<double>& turn,
                  const Vec3<double>& plainOrigin, const Vec3<double>& turnedOrigin, const std::string& when)
{
    const Matrix<double> r = turn.getMatrix();
    for (const auto& [from, to] : {std::pair(&plain.polygons, &turned.polygons), std::pair(&plain.lines, &turned.lines)})
    {
        ASSERT_EQ(from->size(), to->size()) << when;
        for (std::size_t shape = 0; shape < from->size(); ++shape)
        {
            ASSERT_EQ((*from)[shape].size(), (*to)[shape].size()) << when;
            for (std::size_t i = 0; i < (*from)[shape].size(); ++i)
            {
                const FedVertex& a = (*from)[shape][i];
                const FedVertex& b = (*to)[shape][i];
                const double v[3] = {a.x - plainOrigin.x(), a.y - plainOrigin.y(), a.z - plainOrigin.z()};
                const double got[3] = {b.x, b.y, b.z};
                for (int row = 0; row < 3; ++row)
                    EXPECT_NEAR(got[row],
                                turnedOrigin.ptr()[row] + r[row * 4] * v[0] + r[row * 4 + 1] * v[1] +
                                    r[row * 4 + 2] * v[2],
                                1e-4)
                        << when << ": shape " << shape << " vertex " << i << " axis " << row;
            }
        }
    }
}

} // namespace TabulaTest

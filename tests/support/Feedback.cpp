#include "support/Feedback.h"

#include <GL/gl.h>

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

} // namespace TabulaTest

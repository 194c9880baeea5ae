#include <Rendering/internal/Shadows.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include <GL/glew.h>

#include <Core/Board.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Core/internal/DrawnPlace.h>
#include <Math/Matrix.h>
#include <Math/Quat.h>
#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>
#include <Rendering/Shader.h>

namespace Rendering
{

namespace
{
// Squares lie this high; shadows are flattened onto their plane.
const double c_Face = 0.001;
// Light samples, spread across the light's direction and along its height
// (radians): together they leave an umbra darkened to c_Umbra and a soft edge.
const double c_Spread = 0.035;
const int c_Samples = 2;
const double c_Umbra = 0.55;
// Stencil bit k marks the pixels that sample k has darkened.
// The sphere of a piece without a model (see Core::Object).
const double c_SphereRadius = 0.2;

struct Point
{
    double x;
    double z;
};

double cross(const Point& o, const Point& a, const Point& b)
{
    return (a.x - o.x) * (b.z - o.z) - (a.z - o.z) * (b.x - o.x);
}

// The convex hull of `points`, counter-clockwise (Andrew's monotone chain).
std::vector<Point> hull(std::vector<Point> points)
{
    std::sort(points.begin(), points.end(),
              [](const Point& a, const Point& b) { return a.x < b.x || (a.x == b.x && a.z < b.z); });
    if (points.size() < 3)
        return points;
    std::vector<Point> out(2 * points.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < points.size(); ++i)
    {
        while (k >= 2 && cross(out[k - 2], out[k - 1], points[i]) <= 0)
            --k;
        out[k++] = points[i];
    }
    for (std::size_t i = points.size() - 1, lower = k + 1; i > 0; --i)
    {
        while (k >= lower && cross(out[k - 2], out[k - 1], points[i - 1]) <= 0)
            --k;
        out[k++] = points[i - 1];
    }
    out.resize(k - 1);
    return out;
}

// A body's points in its own units: the model's vertices, or the sphere's.
std::vector<Vec3<double>> bodyPoints(Mesh* mesh)
{
    std::vector<Vec3<double>> points;
    if (mesh)
    {
        for (Geometry* geometry : mesh->getGeometries())
        {
            const std::vector<Vec3<double>>& vertices = geometry->getVertexArray();
            points.insert(points.end(), vertices.begin(), vertices.end());
        }
        return points;
    }
    for (int i = 0; i <= 8; ++i)
        for (int j = 0; j < 16; ++j)
        {
            const double polar = 3.14159265358979 * i / 8, around = 3.14159265358979 * j / 8;
            points.emplace_back(c_SphereRadius * std::sin(polar) * std::cos(around), c_SphereRadius * std::cos(polar),
                                c_SphereRadius * std::sin(polar) * std::sin(around));
        }
    return points;
}

// The outline of a body's shadow along `slope` (the light's x and z over its
// y), relative to where its origin's shadow falls, in the body's units. Kept
// per body and sample until the light turns; a body is known by its mesh
// and vertex count, so a mesh made anew where an old one was is seen anew.
struct Outline
{
    std::size_t vertices = 0;
    Point slope{0, 0};
    std::vector<Point> points;
};
std::map<std::pair<const Mesh*, int>, Outline> s_Outlines;

// The flattened hull of `points` along `slope`.
std::vector<Point> flatHull(const std::vector<Vec3<double>>& points, const Point& slope)
{
    std::vector<Point> flat;
    for (const Vec3<double>& v : points)
        flat.push_back(Point{v.x() - slope.x * v.y(), v.z() - slope.z * v.y()});
    return hull(flat);
}

// A turned body's outline, made afresh each frame: turns change while pieces
// move, so caching them would grow without bound.
std::vector<Point> turnedOutline(Mesh* mesh, const Quat<double>& turn, const Point& slope)
{
    // The rotation as Object draws it: by rows of the quaternion's matrix.
    const Matrix<double> r = turn.getMatrix();
    std::vector<Vec3<double>> points = bodyPoints(mesh);
    for (Vec3<double>& v : points)
        v = r * v;
    return flatHull(points, slope);
}

const std::vector<Point>& outline(Mesh* mesh, int sample, const Point& slope)
{
    std::size_t vertices = 0;
    if (mesh)
        for (Geometry* geometry : mesh->getGeometries())
            vertices += geometry->getVertexArray().size();
    Outline& cached = s_Outlines[std::make_pair(mesh, sample)];
    if (cached.vertices == vertices && cached.slope.x == slope.x && cached.slope.z == slope.z && !cached.points.empty())
        return cached.points;
    cached.vertices = vertices;
    cached.slope = slope;
    cached.points = flatHull(bodyPoints(mesh), slope);
    return cached.points;
}

// The part of convex `polygon` inside the board's face, x in [0, w] and z in [-h, 0].
std::vector<Point> clipToFace(const std::vector<Point>& polygon, double w, double h)
{
    std::vector<Point> out = polygon;
    // Each edge of the face as (a, b, c): inside where a x + b z + c >= 0.
    const double edges[4][3] = {{1, 0, 0}, {-1, 0, w}, {0, -1, 0}, {0, 1, h}};
    for (const auto& e : edges)
    {
        const std::vector<Point> in = out;
        out.clear();
        for (std::size_t i = 0; i < in.size(); ++i)
        {
            const Point& a = in[i];
            const Point& b = in[(i + 1) % in.size()];
            const double da = e[0] * a.x + e[1] * a.z + e[2], db = e[0] * b.x + e[1] * b.z + e[2];
            if (da >= 0)
                out.push_back(a);
            if ((da >= 0) != (db >= 0))
            {
                const double t = da / (da - db);
                out.push_back(Point{a.x + t * (b.x - a.x), a.z + t * (b.z - a.z)});
            }
        }
    }
    return out;
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

// Every piece's shadow along `l` (pointing up), as flat polygons on the face.
void castAlong(const Core::Board& board, const Vec3<double>& l, int sample)
{
    const Point slope{l.x() / l.y(), l.z() / l.y()};
    for (const Core::Square* square : board.getSquares())
    {
        if (!square)
            continue;
        for (const Core::Object* piece : square->getObjects())
        {
            if (!piece)
                continue;
            // Where the piece's origin is drawn (see Square::drawObjects and
            // Object::draw), and where the light puts its shadow.
            const Vec3<double> origin = Core::drawnPlace(*square, *piece) + piece->getBodyOffset();
            const double y = origin.y() - c_Face;
            const double x = origin.x() - slope.x * y;
            const double z = origin.z() - slope.z * y;
            const double scale = piece->getScale();
            const Quat<double> turn = piece->getDrawTurn() * piece->getOrientation();
            const bool turned = turn.x() != 0.0 || turn.y() != 0.0 || turn.z() != 0.0;
            const std::vector<Point> turnedPoints =
                turned ? turnedOutline(piece->getMesh(), turn, slope) : std::vector<Point>();
            std::vector<Point> shadow;
            for (const Point& p : turned ? turnedPoints : outline(piece->getMesh(), sample, slope))
                shadow.push_back(Point{x + scale * p.x, z + scale * p.z});
            glBegin(GL_POLYGON);
            for (const Point& p : clipToFace(shadow, board.getSize().x(), board.getSize().y()))
                glVertex3d(p.x, c_Face, p.z);
            glEnd();
        }
    }
}
} // namespace

void Shadows::draw(const Core::Board& board, const Vec3<double>& towardsLight)
{
    const double length = std::sqrt(towardsLight.x() * towardsLight.x() + towardsLight.y() * towardsLight.y() +
                                    towardsLight.z() * towardsLight.z());
    if (!(towardsLight.y() > 0.0) || length <= 0.0)
        return;
    const Vec3<double> l(towardsLight.x() / length, towardsLight.y() / length, towardsLight.z() / length);
    // Two axes across the light, one level and one tilted, for the samples.
    const double level = std::sqrt(l.x() * l.x() + l.z() * l.z());
    const Vec3<double> across = level > 1e-9 ? Vec3<double>(-l.z() / level, 0, l.x() / level) : Vec3<double>(1, 0, 0);
    const Vec3<double> up(across.y() * l.z() - across.z() * l.y(), across.z() * l.x() - across.x() * l.z(),
                          across.x() * l.y() - across.y() * l.x());

    const double w = board.getSize().x(), h = board.getSize().y();
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_POLYGON_BIT |
                 GL_CURRENT_BIT);
    Shader::unApply();
    glPushMatrix();
    glTranslated(w / -2.0, 0, h / 2.0);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glEnable(GL_STENCIL_TEST);
    glStencilMask(0xff);

    // Shadows are clipped to the top face and drawn where it is seen (not
    // behind a piece): on its plane, pulled towards the eye. Each sample
    // darkens a pixel once: the blend ignores the fragment.
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-1.0f, -1.0f);
    glEnable(GL_BLEND);
    const GLfloat keep = static_cast<GLfloat>(std::pow(c_Umbra, 1.0 / c_Samples));
    glBlendColor(keep, keep, keep, 1.0f);
    glBlendFunc(GL_ZERO, GL_CONSTANT_COLOR);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
    static const double c_Offsets[c_Samples][2] = {{-1, -1}, {1, 1}};
    for (int k = 0; k < c_Samples; ++k)
    {
        const GLuint bit = 1u << k;
        glStencilFunc(GL_EQUAL, 0, bit);
        glStencilMask(bit);
        const Vec3<double> sample =
            turned(turned(l, up, c_Spread * c_Offsets[k][0]), across, c_Spread * c_Offsets[k][1]);
        castAlong(board, sample, k);
    }
    glPopMatrix();
    glPopAttrib();
}

} // namespace Rendering

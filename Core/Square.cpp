#include <Core/Square.h>

#include <GL/gl.h>

#include <Core/Object.h>
#include <Core/internal/DrawnPlace.h>
#include <Rendering/Render.h>
#include <Rendering/Texture.h>
#include <Rendering/internal/PickRegion.h>

namespace Core
{

namespace
{
// Squares sit this far above the slab's top face so they never fight it for depth.
const double c_SquareHeight = 0.001;

float widthFactor(Object::HorizontalAlignment alignment)
{
    switch (alignment)
    {
    case Object::LEFT:
        return 1.0f / 6.0f;
    case Object::RIGHT:
        return 5.0f / 6.0f;
    default:
        // CENTER, and any value outside the three named ones, stands in the middle.
        return 0.5f;
    }
}

float depthFactor(Object::VerticalAlignment alignment)
{
    switch (alignment)
    {
    case Object::TOP:
        return 5.0f / 6.0f;
    case Object::BOTTOM:
        return 1.0f / 6.0f;
    default:
        return 0.5f;
    }
}
} // namespace

Square::Square(const Coords& coords, const std::vector<Object*>& objects)
    : m_Coords(coords), m_Objects(objects), m_MouseOver(false), m_Selected(false), m_Authorized(false)
{
    for (Object* object : m_Objects)
        if (object)
        {
            object->setParentSquare(this);
            ++object->m_SquareRefs;
        }
    computeSize();
    computeLower();
    computeUpper();
}

Square::Square(const Square& other)
    : Drawable(other), m_Coords(other.m_Coords), m_Size(other.m_Size), m_Lower(other.m_Lower), m_Upper(other.m_Upper),
      m_Objects(other.m_Objects), m_MouseOver(other.m_MouseOver), m_Selected(other.m_Selected),
      m_Authorized(other.m_Authorized)
{
    for (Object* object : m_Objects)
        if (object)
            ++object->m_SquareRefs;
}

Square::~Square()
{
    for (Object*& object : m_Objects)
    {
        if (!object)
            continue;
        if (--object->m_SquareRefs == 0)
            delete object;
        else if (object->getParentSquare() == this)
            object->setParentSquare(nullptr);
        object = nullptr;
    }
}

void Square::pushObject(Object* object)
{
    m_Objects.push_back(object);
    object->setParentSquare(this);
    ++object->m_SquareRefs;
}

bool Square::popObject(Object* object)
{
    for (auto it = m_Objects.begin(); it != m_Objects.end(); ++it)
        if (*it == object)
        {
            m_Objects.erase(it);
            if (object)
            {
                object->setParentSquare(nullptr);
                --object->m_SquareRefs;
            }
            return true;
        }
    return false;
}

void Square::setCoords(const Coords& coords)
{
    m_Coords = coords;
    computeSize();
    computeLower();
    computeUpper();
}

void Square::computeSize()
{
    unsigned int minX = 4294967295u, minY = 4294967295u, maxX = 0, maxY = 0;
    for (const Vec2<unsigned int>& c : m_Coords.m_Corners)
    {
        if (c.x() < minX)
            minX = c.x();
        if (c.y() < minY)
            minY = c.y();
        if (c.x() > maxX)
            maxX = c.x();
        if (c.y() > maxY)
            maxY = c.y();
    }
    m_Size = Vec2<unsigned int>(maxX - minX, maxY - minY);
}

void Square::computeLower()
{
    m_Lower = Vec2<unsigned int>(4294967295u, 4294967295u);
    for (const Vec2<unsigned int>& c : m_Coords.m_Corners)
    {
        if (c.x() < m_Lower.x())
            m_Lower.x() = c.x();
        if (c.y() < m_Lower.y())
            m_Lower.y() = c.y();
    }
}

void Square::computeUpper()
{
    m_Upper = Vec2<unsigned int>(0, 0);
    for (const Vec2<unsigned int>& c : m_Coords.m_Corners)
    {
        if (c.x() > m_Upper.x())
            m_Upper.x() = c.x();
        if (c.y() > m_Upper.y())
            m_Upper.y() = c.y();
    }
}

Vec3<double> Square::getCentre() const
{
    return Vec3<double>((m_Lower.x() + m_Upper.x()) / 2.0, c_SquareHeight, (m_Lower.y() + m_Upper.y()) / -2.0);
}

Vec3<double> Square::getSpot(const Object& object) const
{
    const Object::ObjectAlignment& alignment = object.getAlignment();
    const double across = static_cast<float>(m_Size.x()) * widthFactor(alignment.m_Horizontal);
    const double along = static_cast<double>(m_Size.y()) * static_cast<double>(depthFactor(alignment.m_Vertical));
    return Vec3<double>(m_Lower.x() + across, 0.0, -(m_Lower.y() + along));
}

void Square::setDrawObjectsBounds(bool draw)
{
    for (Object* object : m_Objects)
        if (object)
            object->setDrawBound(draw);
}

void Square::emitCorner(int i) const
{
    const Vec2<unsigned int>& c = m_Coords.m_Corners[i];
    glVertex3d(c.x(), c_SquareHeight, -static_cast<double>(c.y()));
}

bool Square::selectCorners() const
{
    if (!Rendering::PickRegion::selecting())
        return false;
    double corners[4][3];
    for (int i = 0; i < 4; ++i)
    {
        const Vec2<unsigned int>& c = m_Coords.m_Corners[i];
        corners[i][0] = c.x();
        corners[i][1] = c_SquareHeight;
        corners[i][2] = -static_cast<double>(c.y());
    }
    Rendering::PickRegion::drawVertices(GL_QUADS, corners[0], 4);
    return true;
}

void Square::draw() const
{
    const Vec3<double> lower(m_Lower.x(), c_SquareHeight, -static_cast<double>(m_Upper.y()));
    const Vec3<double> upper(m_Upper.x(), c_SquareHeight, -static_cast<double>(m_Lower.y()));
    if (Rendering::PickRegion::mayHit(lower, upper))
        drawInOwnName();
}

void Square::drawWithColor() const
{
    glColor4d(m_Color.x(), m_Color.y(), m_Color.z(), m_Color.w());
    applyColorMaterial();
    applyMark();
    glNormal3d(0, 1, 0);
    if (selectCorners())
        return;
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i)
        emitCorner(i);
    glEnd();
}

void Square::applyMark() const
{
    if (!Rendering::Render::instance()->getLook().m_MarksOnAnySquare)
        return;
    // The same precedence as on a textured square, half and half with the
    // square's colour: the mark's hue shows on dark and light squares alike.
    const double* mark = nullptr;
    static const double c_Marks[3][3] = {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}};
    if (m_MouseOver)
        mark = c_Marks[0];
    else if (m_Selected)
        mark = c_Marks[1];
    else if (m_Authorized)
        mark = c_Marks[2];
    if (!mark)
        return;
    const GLfloat mixed[4] = {GLfloat((m_Color.x() + mark[0]) / 2), GLfloat((m_Color.y() + mark[1]) / 2),
                              GLfloat((m_Color.z() + mark[2]) / 2), GLfloat(m_Color.w())};
    glColor4fv(mixed);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, mixed);
}

void Square::drawWithTexture() const
{
    const GLfloat* tint = nullptr;
    static const GLfloat c_Green[4] = {0, 1, 0, 0.3f};
    static const GLfloat c_Red[4] = {1, 0, 0, 0.3f};
    static const GLfloat c_Blue[4] = {0, 0, 1, 0.3f};
    if (m_MouseOver)
        tint = c_Green;
    else if (m_Selected)
        tint = c_Red;
    else if (m_Authorized)
        tint = c_Blue;
    if (tint)
    {
        glColor4d(tint[0], tint[1], tint[2], 0.3);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, tint);
    }

    m_Texture->apply();
    glColor4d(1, 1, 1, 1);
    glNormal3d(0, 1, 0);

    static const int c_TexCoords[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    if (!selectCorners())
    {
        glBegin(GL_QUADS);
        for (int i = 0; i < 4; ++i)
        {
            glTexCoord2i(c_TexCoords[i][0], c_TexCoords[i][1]);
            emitCorner(i);
        }
        glEnd();
    }
    glBindTexture(GL_TEXTURE_2D, 0);

    static const GLfloat c_White[4] = {1, 1, 1, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, c_White);
}

void Square::drawObjects() const
{
    for (const Object* object : m_Objects)
    {
        if (!object)
            continue;
        glPushMatrix();
        // A piece playing an animated move is drawn along its path.
        const Vec3<double> place = drawnPlace(*this, *object);
        glTranslated(place.x(), place.y(), place.z());
        object->draw();
        glPopMatrix();
    }
}

} // namespace Core

#include <Core/Board.h>

#include <GL/gl.h>

#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/PickRegion.h>
#include <Rendering/Texture.h>

namespace Core
{

const double Board::m_Depth = 0.25;

Board::Board(const Vec2<unsigned int>& size, const std::vector<Square*>& squares)
    : m_Size(size), m_Orientation(0.0f), m_Squares(squares), m_LineColor(0.0, 0.0, 0.0, 1.0), m_AutoHighlight(false),
      m_HighlightedSquare(nullptr)
{
}

Board::Board(const Board& other)
    : Drawable(other), m_Size(other.m_Size), m_Orientation(other.m_Orientation), m_Squares(other.m_Squares),
      m_LineColor(other.m_LineColor), m_AutoHighlight(other.m_AutoHighlight),
      m_HighlightedSquare(other.m_HighlightedSquare)
{
}

namespace
{
// The slab's 24 corners, four per face (top, bottom, front, back, left,
// right), for a board w wide, h deep and d thick.
void slabCorners(double w, double h, double d, double (&out)[24][3])
{
    const double corners[24][3] = {{0, 0, 0},   {w, 0, 0},  {w, 0, -h}, {0, 0, -h},  {0, -d, 0},  {0, -d, -h},
                                   {w, -d, -h}, {w, -d, 0}, {0, -d, 0}, {w, -d, 0},  {w, 0, 0},   {0, 0, 0},
                                   {0, -d, -h}, {0, 0, -h}, {w, 0, -h}, {w, -d, -h}, {0, 0, 0},   {0, -d, 0},
                                   {0, -d, -h}, {0, 0, -h}, {w, 0, 0},  {w, 0, -h},  {w, -d, -h}, {w, -d, 0}};
    for (int i = 0; i < 24; ++i)
        for (int k = 0; k < 3; ++k)
            out[i][k] = corners[i][k];
}
} // namespace

void Board::drawPoints() const
{
    double corners[24][3];
    slabCorners(m_Size.x(), m_Size.y(), m_Depth, corners);
    for (const auto& corner : corners)
        glVertex3dv(corner);
}

void Board::drawSlab(unsigned int mode) const
{
    if (Rendering::PickRegion::selecting())
    {
        double corners[24][3];
        slabCorners(m_Size.x(), m_Size.y(), m_Depth, corners);
        Rendering::PickRegion::drawVertices(mode, corners[0], 24);
        return;
    }
    glBegin(mode);
    drawPoints();
    glEnd();
}

void Board::draw() const
{
    glPushMatrix();
    glPushName(getPickingName());
    glTranslated(m_Size.x() / -2.0, 0, m_Size.y() / 2.0);
    if (hasTexture())
        drawWithTexture();
    else
        drawWithColor();

    // The vertices taken in pairs outline nine of the slab's twelve edges.
    glColor4d(m_LineColor.x(), m_LineColor.y(), m_LineColor.z(), m_LineColor.w());
    drawSlab(GL_LINES);
    // The board's name covers the slab only, so squares and pieces never nest in it.
    glPopName();

    for (const Square* square : m_Squares)
        square->draw();
    for (const Square* square : m_Squares)
        square->drawObjects();
    glPopMatrix();
}

void Board::drawWithColor() const
{
    glColor4d(m_Color.x(), m_Color.y(), m_Color.z(), m_Color.w());
    drawSlab(GL_QUADS);
}

void Board::drawWithTexture() const
{
    static const GLfloat c_White[4] = {1, 1, 1, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, c_White);
    m_Texture->apply();
    glColor4d(1, 1, 1, 1);
    if (Rendering::PickRegion::selecting())
    {
        drawSlab(GL_QUADS);
        glBindTexture(GL_TEXTURE_2D, 0);
        return;
    }

    const double w = m_Size.x(), h = m_Size.y(), d = m_Depth;
    struct Face
    {
        double normal[3];
        double corners[4][3];
    };
    const Face faces[6] = {
        {{0, 1, 0}, {{0, 0, 0}, {w, 0, 0}, {w, 0, -h}, {0, 0, -h}}},
        {{0, -1, 0}, {{0, -d, 0}, {0, -d, -h}, {w, -d, -h}, {w, -d, 0}}},
        {{0, 0, 1}, {{0, -d, 0}, {w, -d, 0}, {w, 0, 0}, {0, 0, 0}}},
        {{0, 0, -1}, {{0, -d, -h}, {0, 0, -h}, {w, 0, -h}, {w, -d, -h}}},
        {{-1, 0, 0}, {{0, 0, 0}, {0, -d, 0}, {0, -d, -h}, {0, 0, -h}}},
        {{1, 0, 0}, {{w, 0, 0}, {w, 0, -h}, {w, -d, -h}, {w, -d, 0}}},
    };
    // One picture spans each whole face.
    static const int c_TexCoords[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const Face& face : faces)
        for (int i = 0; i < 4; ++i)
        {
            glNormal3dv(face.normal);
            glTexCoord2i(c_TexCoords[i][0], c_TexCoords[i][1]);
            glVertex3dv(face.corners[i]);
        }
    glEnd();
    glBindTexture(GL_TEXTURE_2D, 0);
}

bool Board::moveObject(Object* object, Square* from, Square* to)
{
    if (!from || !to || !from->popObject(object))
        return false;
    to->pushObject(object);
    return true;
}

void Board::autoHighlight(Square* square)
{
    if (m_AutoHighlight && square)
    {
        if (square == m_HighlightedSquare)
            return;
        if (m_HighlightedSquare)
            m_HighlightedSquare->highlightMouseOver(false);
        square->highlightMouseOver(true);
        m_HighlightedSquare = square;
        return;
    }
    if (m_HighlightedSquare)
    {
        m_HighlightedSquare->highlightMouseOver(false);
        m_HighlightedSquare = nullptr;
    }
}

void Board::clearHighlight()
{
    for (Square* square : m_Squares)
    {
        square->highlightSelected(false);
        square->highlightAuthorized(false);
    }
}

void Board::setDrawObjectsBounds(bool draw)
{
    for (Square* square : m_Squares)
        square->setDrawObjectsBounds(draw);
}

} // namespace Core

#include <Core/Board.h>

#include <GL/gl.h>

#include <algorithm>
#include <limits>

#include <Core/CallBackMove.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Core/internal/DrawnPlace.h>
#include <Core/internal/FunctionRecords.h>
#include <Rendering/Render.h>
#include <Rendering/Texture.h>
#include <Rendering/internal/PickRegion.h>

namespace Core
{

const double Board::m_Depth = 0.25;

namespace
{
bool lists(const Square* square, const Object* object)
{
    const std::vector<Object*>& objects = square->getObjects();
    return std::find(objects.begin(), objects.end(), object) != objects.end();
}
} // namespace

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

Board::~Board()
{
    // The squares may already be gone: only the pieces the board owns are touched.
    for (const MoveAnimation& animation : m_Animations)
        for (Object* piece : animation.getCaptured())
            delete piece;
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
    // In its true colour the outline is unlit: a line has no face to light.
    const bool unlit = Rendering::Render::instance()->getLook().m_TrueColors && glIsEnabled(GL_LIGHTING);
    if (unlit)
        glDisable(GL_LIGHTING);
    drawSlab(GL_LINES);
    if (unlit)
        glEnable(GL_LIGHTING);
    // The board's name covers the slab only, so squares and pieces never nest in it.
    glPopName();

    for (const Square* square : m_Squares)
        square->draw();
    for (const Square* square : m_Squares)
        square->drawObjects();
    drawLeavingObjects();
    glPopMatrix();
}

void Board::drawWithColor() const
{
    glColor4d(m_Color.x(), m_Color.y(), m_Color.z(), m_Color.w());
    if (!Rendering::Render::instance()->getLook().m_TrueColors || Rendering::PickRegion::selecting())
    {
        drawSlab(GL_QUADS);
        return;
    }
    applyColorMaterial();
    drawFaces(false);
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

    drawFaces(true);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void Board::drawFaces(bool textured) const
{
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
            if (textured)
                glTexCoord2i(c_TexCoords[i][0], c_TexCoords[i][1]);
            glVertex3dv(face.corners[i]);
        }
    glEnd();
}

bool Board::moveObject(Object* object, Square* from, Square* to)
{
    if (!from || !to || !from->popObject(object))
        return false;
    to->pushObject(object);
    return true;
}

bool Board::animateObject(Object* object, const std::vector<Square*>& path, const MoveAnimation::Style& style,
                          const std::vector<Object*>& captured)
{
    // Earlier moves of the pieces involved end first, since their records
    // may change the scene this call checks.
    const auto involved = [&](const MoveAnimation& animation)
    {
        if (animation.getObject() == object)
            return true;
        for (Object* piece : captured)
            if (animation.getObject() == piece)
                return true;
        return false;
    };
    while (true)
    {
        auto earlier = std::find_if(m_Animations.begin(), m_Animations.end(), involved);
        if (earlier == m_Animations.end())
            break;
        MoveAnimation animation = *earlier;
        m_Animations.erase(earlier);
        animation.advance(animation.getDuration());
        endAnimation(animation);
    }

    if (!object || path.size() < 2 || std::find(path.begin(), path.end(), nullptr) != path.end() ||
        !lists(path.front(), object))
        return false;
    for (std::size_t i = 0; i < captured.size(); ++i)
    {
        Object* piece = captured[i];
        if (!piece || piece == object || !piece->getParentSquare() || !lists(piece->getParentSquare(), piece) ||
            std::find(captured.begin(), captured.begin() + static_cast<long>(i), piece) !=
                captured.begin() + static_cast<long>(i))
            return false;
    }

    std::vector<Vec3<double>> spots;
    for (const Square* square : path)
        spots.push_back(square->getSpot(*object));
    std::vector<Vec3<double>> places;
    for (Object* piece : captured)
    {
        Square* square = piece->getParentSquare();
        places.push_back(drawnPlace(*square, *piece));
        square->popObject(piece);
        piece->setDrawOffset(Vec3<double>());
    }
    moveObject(object, path.front(), path.back());
    m_Animations.emplace_back(object, path.back(), style, spots, captured, places);
    m_Animations.back().setStartOrientation(object->getOrientation());
    object->setOrientation(m_Animations.back().getEndOrientation());
    object->setDrawTurn(m_Animations.back().getTurn());
    object->setDrawOffset(m_Animations.back().getOffset());
    return true;
}

CallBackHandle
Board::onMoveFinished(std::function<void(Object* object, Square* square, const std::vector<Object*>& captured)> handler)
{
    if (!m_MoveFunctions)
        m_MoveFunctions = std::make_unique<FunctionRecords<CallBackMove>>();
    return m_MoveFunctions->add(m_CallBacksMove, [handler = std::move(handler)](CallBackMove& record)
                                { handler(record.getObject(), record.getSquare(), record.getCaptured()); });
}

void Board::advanceAnimations(double seconds)
{
    if (m_MoveFunctions)
        m_MoveFunctions->sweep(m_CallBacksMove);
    for (MoveAnimation& animation : m_Animations)
    {
        animation.advance(seconds);
        if (lists(animation.getDestination(), animation.getObject()))
        {
            animation.getObject()->setDrawOffset(animation.getOffset());
            animation.getObject()->setDrawTurn(animation.getTurn());
        }
    }
    const auto playing = [](const MoveAnimation& animation)
    { return !animation.isFinished() && lists(animation.getDestination(), animation.getObject()); };
    auto over = std::stable_partition(m_Animations.begin(), m_Animations.end(), playing);
    std::vector<MoveAnimation> ended(over, m_Animations.end());
    m_Animations.erase(over, m_Animations.end());
    // Records run only now, with the list consistent, as they may start new moves.
    for (MoveAnimation& animation : ended)
        endAnimation(animation);
}

void Board::finishAnimations()
{
    std::vector<MoveAnimation> ended;
    ended.swap(m_Animations);
    for (MoveAnimation& animation : ended)
    {
        animation.advance(animation.getDuration());
        endAnimation(animation);
    }
}

void Board::endAnimation(MoveAnimation& animation)
{
    Object* object = animation.getObject();
    // A piece the game took off its destination is not touched: it may be deleted.
    const bool placed = lists(animation.getDestination(), object);
    if (placed)
    {
        object->setDrawOffset(Vec3<double>());
        object->setDrawTurn(Quat<double>());
        forEachRecord(m_CallBacksMove,
                      [&](CallBackMove* callback)
                      {
                          callback->setMove(object, animation.getDestination(), animation.getCaptured());
                          callback->execute();
                      });
    }
    for (Object* piece : animation.getCaptured())
        delete piece;
}

void Board::drawLeavingObjects() const
{
    if (m_Animations.empty())
        return;
    GLint mode = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    if (mode == GL_SELECT)
        return;
    for (const MoveAnimation& animation : m_Animations)
        for (std::size_t i = 0; i < animation.getCaptured().size(); ++i)
        {
            const double progress = animation.getExitProgress(i);
            if (progress >= 1.0)
                continue;
            const Object* piece = animation.getCaptured()[i];
            const Vec3<double>& place = animation.getPlace(i);
            glPushMatrix();
            if (animation.getStyle().m_Exit == MoveAnimation::FADE)
            {
                glTranslated(place.x(), place.y(), place.z());
                // The constant alpha fades textured, coloured and shaded pieces alike.
                glBlendColor(0.0f, 0.0f, 0.0f, static_cast<GLfloat>(1.0 - progress));
                glBlendFunc(GL_CONSTANT_ALPHA, GL_ONE_MINUS_CONSTANT_ALPHA);
                piece->draw();
                glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            }
            else
            {
                glTranslated(place.x(), place.y() - progress * piece->getHeight(), place.z());
                piece->draw();
            }
            glPopMatrix();
        }
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

#pragma once

#include <TabulaExport.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <Core/CallBackHandle.h>
#include <Core/Drawable.h>
#include <Core/MoveAnimation.h>
#include <Math/Vec2.h>
#include <Math/Vec4.h>

namespace Core
{

class CallBackMove;
template <class Record>
class FunctionRecords;
class Object;
class Square;

/// The root of the scene: a slab m_Size cells wide (x) and deep (grid y, along
/// -z), m_Depth thick, with its top face at height 0, centred on the origin
/// when drawn. It lists the game's squares but owns none of them.
class TABULA_EXPORT Board : public Drawable
{
public:
    /// Thickness of the slab.
    static const double m_Depth;

    Board(const Vec2<unsigned int>& size, const std::vector<Square*>& squares);
    /// The copy lists the same squares but plays none of the original's
    /// animations and has no move records.
    Board(const Board& other);
    /// Deletes the captured pieces of moves still playing.
    ~Board() override;

    std::string getClassName() const override { return getStaticClassName(); }
    static std::string getStaticClassName() { return "BOARD"; }
    void draw() const override;
    void drawWithTexture() const override;
    void drawWithColor() const override;
    /// The 24 slab vertices, four per face, without glBegin/glEnd.
    void drawPoints() const;

    /// Pops `object` from `from` and pushes it on `to`. False, and nothing
    /// changed, when `object` is not on `from`.
    static bool moveObject(Object* object, Square* from, Square* to);

    /// The animated counterpart of moveObject. `path` lists the square the
    /// piece stands on, then every square it lands on, one leg each (a
    /// multi-jump has several legs). At once, as after moveObject, the piece
    /// is on the last square and each piece of `captured` is off its square:
    /// picking, highlighting and the game see the final position from the
    /// start. Only the drawing follows the clock: the piece is drawn at its
    /// place along the path (an extra translation where its square draws
    /// it), and the captured pieces, owned by the board from this call, are
    /// drawn leaving (never picked) and deleted when the move is over, right
    /// after the move records ran. A piece already moving first jumps to the
    /// end of its move. False, and nothing changed, when the path has fewer
    /// than two squares or a null one, the piece is not on its first square,
    /// or a captured piece is the moving one or on no square.
    bool animateObject(Object* object, const std::vector<Square*>& path, const MoveAnimation::Style& style,
                       const std::vector<Object*>& captured = {});
    /// Moves every animation's clock on by `seconds`, then ends the moves
    /// that are over (in the order they started). The engine calls it once
    /// per frame with the frame's measured time; a test or a replay steps it
    /// with chosen times and draws with draw(). A moving piece that the game
    /// took off its destination square meanwhile (moved or deleted) loses
    /// its animation unseen: call finishAnimations() before doing that.
    void advanceAnimations(double seconds);
    /// Plays every move now playing to its end at once.
    void finishAnimations();
    bool isAnimating() const { return !m_Animations.empty(); }
    const std::vector<MoveAnimation>& getAnimations() const { return m_Animations; }
    /// Told of every finished animated move; the board never deletes them.
    std::vector<CallBackMove*>& getCallBacksMove() { return m_CallBacksMove; }
    /// The function form of a move record: runs at the end of every animated
    /// move, in registration order among the records of getCallBacksMove(),
    /// with the piece, its destination and the captured pieces (deleted
    /// right after: never keep them). The board owns its place in the list
    /// and frees it once the handle has removed it.
    CallBackHandle onMoveFinished(
        std::function<void(Object* object, Square* square, const std::vector<Object*>& captured)> handler);

    /// Moves the mouse-over mark to `square` when automatic highlighting is
    /// on; with it off, or with no square, only removes the current mark.
    void autoHighlight(Square* square);
    /// Clears the selected and authorized marks of every square.
    void clearHighlight();
    void setDrawObjectsBounds(bool draw);

    /// Degrees about the vertical towards which the engine turns the scene.
    float getOrientation() const { return m_Orientation; }
    void setOrientation(float degrees) { m_Orientation = degrees; }
    Square* getHighlightedSquare() { return m_HighlightedSquare; }
    void setAutoHighlight(bool on) { m_AutoHighlight = on; }
    bool getAutoHighlight() const { return m_AutoHighlight; }
    void setLineColor(const Vec4<double>& color) { m_LineColor = color; }
    const Vec2<unsigned int>& getSize() const { return m_Size; }
    const std::vector<Square*>& getSquares() const { return m_Squares; }

private:
    /// Captured pieces at their exit; skipped in the selection pass.
    void drawLeavingObjects() const;
    void endAnimation(MoveAnimation& animation);
    /// The slab's 24 corners as `mode` primitives: between glBegin and glEnd
    /// when rendering, as a vertex array in a selection pass.
    void drawSlab(unsigned int mode) const;

    Vec2<unsigned int> m_Size;
    float m_Orientation;
    std::vector<Square*> m_Squares;
    Vec4<double> m_LineColor;
    bool m_AutoHighlight;
    Square* m_HighlightedSquare;
    std::vector<MoveAnimation> m_Animations;
    std::vector<CallBackMove*> m_CallBacksMove;
    std::unique_ptr<FunctionRecords<CallBackMove>> m_MoveFunctions;
};

} // namespace Core

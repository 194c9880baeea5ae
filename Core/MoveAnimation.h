#pragma once

#include <TabulaExport.h>

#include <cstddef>
#include <vector>

#include <Math/Quat.h>
#include <Math/Vec3.h>

namespace Core
{

class Object;
class Square;

/// One animated move as the board plays it: a piece travelling along the
/// spots of a path of squares, one leg after another, and the pieces it
/// captured leaving the board. Pure timing and geometry, no OpenGL: the
/// board advances it with the frame's time and draws from what it answers.
///
/// Timeline (seconds from the start): leg k runs from k * L to (k + 1) * L,
/// L = m_LegSeconds; on each leg the piece's progress follows the
/// ease-in/ease-out curve 3t^2 - 2t^3, and a hop rises 4 h p (1 - p) above
/// the straight line (h = m_HopHeight), so it passes the leg's midpoint at
/// height h at half time. Captured piece i starts leaving halfway through
/// leg min(i, legs - 1), when a hop is above it, and is gone m_ExitSeconds
/// later. The move is over when every leg and every exit has played.
///
/// The piece can turn during the move (m_Turn) and flip (m_Flip): its
/// orientation goes from the one it had to the one it ends with along the
/// same eased curve over the whole travel (every leg), so a flip during a
/// one-leg hop is a quarter turn over at the top, at half time.
class TABULA_EXPORT MoveAnimation
{
public:
    enum Path : int
    {
        SLIDE = 0,
        HOP = 1
    };
    enum Exit : int
    {
        /// Sinks until its top is below the square it stood on.
        SINK = 0,
        /// Fades out by its blending alpha.
        FADE = 1
    };
    enum Turn : int
    {
        /// Keeps its heading.
        KEEP = 0,
        /// Turns to m_Heading.
        TO_HEADING = 1,
        /// Turns to face from its first square to its last (kept when they are one).
        FACE_TRAVEL = 2
    };
    struct Style
    {
        Path m_Path = SLIDE;
        /// World units above the straight line at the middle of a hop.
        double m_HopHeight = 0.5;
        double m_LegSeconds = 0.35;
        Exit m_Exit = SINK;
        double m_ExitSeconds = 0.35;
        Turn m_Turn = KEEP;
        /// Degrees about the vertical, as Object::setHeading, for TO_HEADING.
        double m_Heading = 0.0;
        /// A half turn over about the horizontal axis across the travel (the
        /// board's x axis when the piece stays on its square): the piece
        /// tips forward and lands upside down, a disc flipped over.
        bool m_Flip = false;
    };

    /// `spots`: the piece's spot on every square of its path, in the board's
    /// own frame (see Square::getSpot), at least two. `places`: where each
    /// captured piece stood, same frame. Durations of 0 or less (or not a
    /// number) play at once.
    MoveAnimation(Object* object, Square* destination, const Style& style, const std::vector<Vec3<double>>& spots,
                  const std::vector<Object*>& captured, const std::vector<Vec3<double>>& places);

    /// Moves the clock on; negative or non-finite steps count as 0.
    void advance(double seconds);
    bool isFinished() const { return m_Elapsed >= getDuration(); }
    double getDuration() const;
    double getElapsed() const { return m_Elapsed; }

    /// Where the piece is drawn now minus its spot on the destination square.
    Vec3<double> getOffset() const;
    /// Sets the orientation the piece starts from; the one it ends with
    /// follows from the style. The board calls it before the first offset.
    void setStartOrientation(const Quat<double>& orientation);
    /// The orientation the piece ends the move with.
    const Quat<double>& getEndOrientation() const { return m_End; }
    /// The piece's orientation now.
    Quat<double> getOrientation() const;
    /// The turn from the end orientation to the one now (see Object::setDrawTurn).
    Quat<double> getTurn() const { return getOrientation() * m_End.inverse(); }

    /// 0 before captured piece i starts leaving, 1 once it has gone, eased between.
    double getExitProgress(std::size_t i) const;

    Object* getObject() const { return m_Object; }
    Square* getDestination() const { return m_Destination; }
    const Style& getStyle() const { return m_Style; }
    const std::vector<Object*>& getCaptured() const { return m_Captured; }
    const Vec3<double>& getPlace(std::size_t i) const { return m_Places[i]; }

    /// 3t^2 - 2t^3 of t clamped to [0, 1].
    static double ease(double t);

private:
    std::size_t legCount() const { return m_Spots.size() - 1; }
    /// The orientation `p` (0..1) of the way through the turn.
    Quat<double> turnedBy(double p) const;

    Object* m_Object;
    Square* m_Destination;
    Style m_Style;
    std::vector<Vec3<double>> m_Spots;
    std::vector<Object*> m_Captured;
    std::vector<Vec3<double>> m_Places;
    double m_Elapsed;
    Quat<double> m_Start;
    /// Turn about the vertical (radians) and the flip's axis, applied in that
    /// order on top of m_Start in the board's frame.
    double m_Yaw;
    Vec3<double> m_FlipAxis;
    Quat<double> m_End;
};

} // namespace Core

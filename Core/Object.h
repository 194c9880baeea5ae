#pragma once

#include <TabulaExport.h>

#include <string>

#include <Core/Drawable.h>
#include <Math/Quat.h>
#include <Rendering/Aabb.h>

namespace Rendering
{
class Mesh;
}

namespace Core
{

class Square;

/// A piece standing on a square. Drawn from a mesh shared through the
/// MeshManager, or as a sphere of radius 0.2 when it has no model file. The
/// square places it on one of nine spots; the piece lifts itself so that it
/// rests on the board (deltaTranslateY) and scales itself by m_Scale.
/// Once on a square, the square owns it.
///
/// The sphere is compiled into one display list, shared by every sphere
/// piece, the first time one is drawn in a context (not at the engine's
/// set-up): the same picture and hits as tessellating it every time.
class TABULA_EXPORT Object : public Drawable
{
public:
    enum VerticalAlignment : int
    {
        TOP = 0,
        BOTTOM = 1,
        MIDDLE = 2
    };
    enum HorizontalAlignment : int
    {
        LEFT = 0,
        RIGHT = 1,
        CENTER = 2
    };

    /// Spot on the square: vertical along grid y (TOP 5/6, BOTTOM 1/6,
    /// MIDDLE 1/2 from the lower corner), horizontal along grid x (LEFT 1/6,
    /// RIGHT 5/6, CENTER 1/2).
    struct ObjectAlignment
    {
        ObjectAlignment() : m_Vertical(MIDDLE), m_Horizontal(CENTER) {}
        ObjectAlignment(VerticalAlignment v, HorizontalAlignment h) : m_Vertical(v), m_Horizontal(h) {}

        VerticalAlignment m_Vertical;
        HorizontalAlignment m_Horizontal;
    };

    /// An empty `modelFile` means no mesh: the piece is a sphere.
    Object(const ObjectAlignment& alignment, const std::string& modelFile);
    /// Shares the source's mesh (taking its own use of it), alignment, scale,
    /// box and parent square; gets a new picking name.
    Object(const Object& other);
    ~Object();

    void setMesh(const std::string& modelFile);
    void removeMesh();
    Rendering::Mesh* getMesh() const { return m_Mesh; }
    const Rendering::Aabb& getAabb() const { return m_Aabb; }

    /// Height at which the piece's origin is drawn above the square: half the
    /// scaled box height plus 0.02 with a mesh, 0.076 for the sphere. The
    /// height is that of the box as the piece's orientation turns it.
    double deltaTranslateY() const;
    /// Height of the piece's top above the square it stands on.
    double getHeight() const;

    /// Added to the piece's spot where its square draws it (board units);
    /// the board sets it while the piece plays an animated move.
    void setDrawOffset(const Vec3<double>& offset) { m_DrawOffset = offset; }
    const Vec3<double>& getDrawOffset() const { return m_DrawOffset; }

    /// The piece's turn about its origin, in the board's own frame (y up, grid
    /// y along -z), applied before the scale: drawing, its box, picking and
    /// Render::getWindowPoint all follow it. A model's front is its +z side.
    void setOrientation(const Quat<double>& orientation) { m_Orientation = orientation; }
    const Quat<double>& getOrientation() const { return m_Orientation; }
    /// Turns the piece to `degrees` about the vertical (counter-clockwise
    /// seen from above, as Board::setOrientation turns the scene), standing
    /// upright: heading 0 is no turn, its front facing +z; 90 faces +x.
    void setHeading(double degrees);
    /// The heading of the piece's front (its +z side) in degrees, in
    /// (-180, 180]; 0 when the front points straight up or down.
    double getHeading() const;

    /// Applied on top of the orientation where the piece is drawn; the board
    /// sets it while the piece turns during an animated move.
    void setDrawTurn(const Quat<double>& turn) { m_DrawTurn = turn; }
    const Quat<double>& getDrawTurn() const { return m_DrawTurn; }

    const ObjectAlignment& getAlignment() const { return m_Alignment; }
    void setParentSquare(Square* square) { m_ParentSquare = square; }
    Square* getParentSquare() const { return m_ParentSquare; }
    void setDrawBound(bool draw) { m_DrawBound = draw; }
    bool getDrawBound() const { return m_DrawBound; }
    void setScale(double scale) { m_Scale = scale; }
    double getScale() const { return m_Scale; }

    std::string getClassName() const override { return "OBJECT"; }
    /// In a selection pass, a piece whose lifted and scaled box lies outside
    /// the pick region is skipped (see Rendering::PickRegion).
    void draw() const override;
    void drawWithTexture() const override;
    void drawWithColor() const override;

private:
    friend class Square;

    void drawBody() const;
    /// Multiplies the current matrix by the drawn turn (draw turn times orientation).
    void applyTurn() const;
    /// Height of the unscaled box (the sphere's without a mesh) once the
    /// orientation has turned it.
    double turnedHeight() const;

    Square* m_ParentSquare;
    ObjectAlignment m_Alignment;
    Rendering::Mesh* m_Mesh;
    Rendering::Aabb m_Aabb;
    double m_Scale;
    bool m_DrawBound;
    Vec3<double> m_DrawOffset;
    Quat<double> m_Orientation;
    Quat<double> m_DrawTurn;
    /// Number of squares listing this piece; the last of them deletes it.
    unsigned int m_SquareRefs;
};

} // namespace Core

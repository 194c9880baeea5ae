#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <rules/Move.h>
#include <rules/Position.h>

#include "Tag.h"

namespace Core
{
class Board;
class Object;
class Square;
} // namespace Core

namespace DraughtsGame
{

/// The draughts board as Tabula draws it: a wooden slab ten cells wide whose
/// middle eight by eight cells are squares, with a piece model on every
/// occupied cell. Squares carry the metadata "cell" ("a1".."h8"); pieces carry
/// "side" ("Black", "White") and "kind" ("man", "king").
///
/// Build it before the engine runs: every model, picture and texture it may
/// ever show is loaded here, because the engine only uploads what exists
/// when it sets OpenGL up. The table owns the board, the squares (which own
/// the pieces) and all metadata.
class Table
{
public:
    /// Cells of wood round the playing area on every side.
    static const unsigned int c_Border = 1;

    explicit Table(const std::string& assetDir);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    Core::Board* getBoard() { return m_Board; }
    Core::Square* getSquare(Draughts::Cell cell) const;
    /// The cell named by a square's "cell" metadata; none for a square that
    /// is not one of the table's.
    std::optional<Draughts::Cell> cellOf(const Core::Square* square) const;

    /// Ends any move still playing, removes every piece and puts one on each
    /// occupied cell of `position`.
    void setUp(const Draughts::Position& position);
    /// Shows a move that was just played as an animation (Board::animateObject):
    /// the piece slides on a step and hops over each jumped piece, which
    /// sinks and is deleted by the board. The scene holds the final position
    /// at once; a man reaching its crowning row is crowned when it arrives
    /// (see finishMove). False when the scene did not hold the moving piece.
    bool show(const Draughts::Move& move);
    /// The end of an animated move: crowns the piece if its move promotes it
    /// and forgets the captured pieces, which the board deletes next.
    void finishMove(Core::Object* piece, const std::vector<Core::Object*>& captured);
    /// Marks `selected` red and `authorized` blue, clearing earlier marks.
    void highlight(const std::vector<Draughts::Cell>& selected, const std::vector<Draughts::Cell>& authorized);
    /// Pieces of a side standing on the board, counted from the scene.
    int countPieces(const std::string& side) const;

private:
    Core::Object* makePiece(Draughts::Piece piece);
    std::string modelFile(bool black, bool king) const;
    void deletePiece(Core::Square* square, Core::Object* piece);

    std::string m_AssetDir;
    std::vector<Core::Square*> m_Squares;
    Core::Board* m_Board;
    std::vector<std::unique_ptr<Tag>> m_SquareTags;
    std::map<Core::Object*, std::vector<std::unique_ptr<Tag>>> m_PieceTags;
    /// Men moving to their crowning row, crowned when their move ends.
    std::set<Core::Object*> m_Crowning;
};

} // namespace DraughtsGame

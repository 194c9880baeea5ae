#pragma once

#include <map>
#include <memory>
#include <optional>
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
    /// Centre of the cell in the board's own frame (before the engine centres
    /// the board): x across, y up, z towards the far side (negative).
    static void cellCentre(Draughts::Cell cell, double& x, double& y, double& z);

    /// Removes every piece and puts one on each occupied cell of `position`.
    void setUp(const Draughts::Position& position);
    /// Shows a move that was just played: the piece travels with
    /// Board::moveObject, jumped pieces leave the board and are deleted, and
    /// a man reaching its crowning row swaps its model for the king's.
    /// False when the scene did not hold the moving piece.
    bool show(const Draughts::Move& move);
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
};

} // namespace DraughtsGame

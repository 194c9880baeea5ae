#pragma once

#include <rules/Rules.h>

#include <optional>
#include <string>
#include <vector>

namespace Draughts
{

/// What one click on the board did.
enum class ClickResult
{
    /// A piece that can move is now selected.
    Selected,
    /// A landing of a capture sequence was chosen; more landings follow.
    Landed,
    /// A whole move was played; see Controller::lastMove().
    Played,
    /// The selection was dropped (the selected piece clicked again).
    Cancelled,
    /// Nothing to do with this cell: any selection was dropped.
    Illegal
};

/// The turn logic of a two-player game seen through clicks on cells, apart
/// from any drawing: select one of your pieces, then click where it goes.
/// A capture sequence is picked landing by landing; as soon as the landings
/// chosen so far leave a single legal move, that move is played whole, and
/// clicking the last cell of a move that only one sequence reaches plays it
/// at once. Every event is also written as a line of text (takeLog), e.g.
/// "select c3", "move c3-d4", "capture d4", "turn White", "illegal d5".
class Controller
{
public:
    explicit Controller(const Position& start = Position::initial());

    ClickResult click(Cell cell);
    /// Drops the selection, if any.
    void cancel();
    /// Starts again from Position::initial().
    void newGame();
    /// Takes back the last move; false when there is none.
    bool undo();

    const Rules& rules() const { return m_Rules; }
    bool hasSelection() const { return !m_Path.empty(); }
    /// The selected piece's cell, then the landings chosen so far.
    const std::vector<Cell>& path() const { return m_Path; }
    /// The cells that may be clicked next to carry on with the selection.
    std::vector<Cell> targets() const;
    /// The move played by the last Played click, or taken back by undo.
    const std::optional<Move>& lastMove() const { return m_LastMove; }
    /// Pieces of `side` taken by the opponent since the game's start position.
    int capturedFrom(Side side) const;
    /// "Black" or "White".
    static std::string sideName(Side side);
    /// "a1" for (0, 0), "h8" for (7, 7).
    static std::string cellName(Cell cell);

    /// The lines written since the last call, oldest first.
    std::vector<std::string> takeLog();

private:
    ClickResult play(const Move& move);
    ClickResult illegal(Cell cell);
    void select(Cell cell);
    void logTurn();

    Rules m_Rules;
    Position m_Start;
    std::vector<Cell> m_Path;
    std::optional<Move> m_LastMove;
    std::vector<std::string> m_Log;
};

} // namespace Draughts

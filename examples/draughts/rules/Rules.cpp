#include <rules/Rules.h>

#include <algorithm>

namespace Draughts
{

namespace
{

struct Direction
{
    int dx;
    int dy;
};

// Men use only the two whose dy is their forward direction.
const Direction c_Directions[4] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};

bool canGo(Piece piece, Side side, Direction d)
{
    return isKing(piece) || d.dy == forward(side);
}

template <typename T> bool contains(const std::vector<T>& items, const T& item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

// Depth-first over every jump available from the last cell of path. Jumped
// pieces are still on the board here, which also keeps the sequence from
// landing on them; the captured list keeps it from jumping them again, so the
// depth never exceeds the number of enemy pieces.
void addCaptures(const Position& position, Piece piece, Side side, std::vector<Cell>& path, std::vector<Cell>& captured,
                 std::vector<Move>& out)
{
    const Cell at = path.back();
    bool jumped = false;
    for (Direction d : c_Directions)
    {
        if (!canGo(piece, side, d))
            continue;
        const Cell over{at.x + d.dx, at.y + d.dy};
        const Cell land{at.x + 2 * d.dx, at.y + 2 * d.dy};
        if (!land.isOnBoard() || !belongsTo(position.at(over), opponent(side)) || contains(captured, over))
            continue;
        if (position.at(land) != Piece::Empty && land != path.front())
            continue;
        jumped = true;
        path.push_back(land);
        captured.push_back(over);
        if (!isKing(piece) && land.y == crowningRow(side))
            out.emplace_back(path, captured, true);
        else
            addCaptures(position, piece, side, path, captured, out);
        path.pop_back();
        captured.pop_back();
    }
    if (!jumped && !captured.empty())
        out.emplace_back(path, captured, false);
}

} // namespace

Rules::Rules() : Rules(Position::initial()) {}

Rules::Rules(const Position& start)
{
    reset(start);
}

void Rules::reset(const Position& start)
{
    m_Position = start;
    m_History.clear();
    m_Before.clear();
    m_Legal = generateMoves(m_Position);
}

std::vector<Move> Rules::movesFrom(Cell from) const
{
    return movesStartingWith({from});
}

std::vector<Move> Rules::movesStartingWith(const std::vector<Cell>& prefix) const
{
    std::vector<Move> result;
    for (const Move& move : m_Legal)
        if (prefix.size() <= move.path().size() && std::equal(prefix.begin(), prefix.end(), move.path().begin()))
            result.push_back(move);
    return result;
}

bool Rules::play(const Move& move)
{
    if (!contains(m_Legal, move))
        return false;
    m_Before.push_back(m_Position);
    m_History.push_back(move);
    m_Position = apply(m_Position, move);
    m_Legal = generateMoves(m_Position);
    return true;
}

bool Rules::undo()
{
    if (m_History.empty())
        return false;
    m_Position = m_Before.back();
    m_Before.pop_back();
    m_History.pop_back();
    m_Legal = generateMoves(m_Position);
    return true;
}

std::optional<Side> Rules::winner() const
{
    if (!isOver())
        return std::nullopt;
    return opponent(m_Position.toMove());
}

std::vector<Move> Rules::generateMoves(const Position& position)
{
    const Side side = position.toMove();
    std::vector<Move> captures;
    std::vector<Move> steps;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
        {
            const Cell from{x, y};
            const Piece piece = position.at(from);
            if (!belongsTo(piece, side))
                continue;
            std::vector<Cell> path{from};
            std::vector<Cell> captured;
            addCaptures(position, piece, side, path, captured, captures);
            for (Direction d : c_Directions)
            {
                const Cell to{x + d.dx, y + d.dy};
                if (canGo(piece, side, d) && to.isOnBoard() && position.at(to) == Piece::Empty)
                    steps.emplace_back(std::vector<Cell>{from, to}, std::vector<Cell>{},
                                       !isKing(piece) && to.y == crowningRow(side));
            }
        }
    return captures.empty() ? steps : captures;
}

Position Rules::apply(const Position& position, const Move& move)
{
    Position next = position;
    const Piece piece = position.at(move.from());
    next.set(move.from(), Piece::Empty);
    for (Cell cell : move.captured())
        next.set(cell, Piece::Empty);
    const Side side = position.toMove();
    const bool crowned = belongsTo(piece, side) && !isKing(piece) && move.to().y == crowningRow(side);
    next.set(move.to(), crowned ? kingOf(side) : piece);
    next.setToMove(opponent(side));
    return next;
}

} // namespace Draughts

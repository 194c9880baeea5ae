#include "Table.h"

#include <Core/Board.h>
#include <Core/MeshManager.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <play/Controller.h>

namespace DraughtsGame
{

using Draughts::Cell;

namespace
{
const unsigned int c_Cells = 8;
const unsigned int c_BoardCells = c_Cells + 2 * Table::c_Border;
// A step or one leg of a capture, in seconds; a hop rises half a cell.
const double c_LegSeconds = 0.3;
const double c_HopHeight = 0.5;

Core::Square::Coords cornersOf(Cell cell)
{
    const unsigned int x = static_cast<unsigned int>(cell.x) + Table::c_Border;
    const unsigned int y = static_cast<unsigned int>(cell.y) + Table::c_Border;
    // Corner order gives the texture's v along the board's depth and u across it.
    Core::Square::Coords coords;
    coords.m_Corners[0] = Vec2<unsigned int>(x, y);
    coords.m_Corners[1] = Vec2<unsigned int>(x, y + 1);
    coords.m_Corners[2] = Vec2<unsigned int>(x + 1, y + 1);
    coords.m_Corners[3] = Vec2<unsigned int>(x + 1, y);
    return coords;
}
} // namespace

Table::Table(const std::string& assetDir) : m_AssetDir(assetDir), m_Board(nullptr)
{
    // Every model the game can show gets one lasting use now, so a model is
    // never destroyed when its last piece leaves and never reloaded after
    // the engine has compiled the models.
    for (bool black : {true, false})
        for (bool king : {false, true})
        {
            Rendering::Mesh* mesh = nullptr;
            Core::MeshManager::instance()->addMesh(modelFile(black, king), mesh);
        }

    for (int y = 0; y < static_cast<int>(c_Cells); ++y)
        for (int x = 0; x < static_cast<int>(c_Cells); ++x)
        {
            const Cell cell{x, y};
            Core::Square* square = new Core::Square(cornersOf(cell), {});
            square->setTexture(m_AssetDir + (cell.isDark() ? "/square_dark.png" : "/square_light.png"));
            square->setColor(Vec4<double>(1, 1, 1, 1));
            m_SquareTags.push_back(std::make_unique<Tag>("cell", Draughts::Controller::cellName(cell)));
            square->addMeta(m_SquareTags.back().get());
            m_Squares.push_back(square);
        }
    m_Board = new Core::Board(Vec2<unsigned int>(c_BoardCells, c_BoardCells), m_Squares);
    m_Board->setTexture(m_AssetDir + "/board_wood.jpg");
    m_Board->setColor(Vec4<double>(0.55, 0.35, 0.2, 1));
    m_Board->setLineColor(Vec4<double>(0.1, 0.06, 0.03, 1));
    m_Board->setAutoHighlight(true);
}

Table::~Table()
{
    delete m_Board;
    // Squares delete their pieces, which only point at the tags freed after.
    for (Core::Square* square : m_Squares)
        delete square;
}

std::string Table::modelFile(bool black, bool king) const
{
    return m_AssetDir + (king ? "/king_" : "/man_") + (black ? "black" : "white") + ".ase";
}

Core::Square* Table::getSquare(Cell cell) const
{
    if (!cell.isOnBoard())
        return nullptr;
    return m_Squares[static_cast<std::size_t>(cell.y) * c_Cells + static_cast<std::size_t>(cell.x)];
}

std::optional<Cell> Table::cellOf(const Core::Square* square) const
{
    if (!square)
        return std::nullopt;
    const std::string name = square->getMeta("cell");
    if (name.size() != 2)
        return std::nullopt;
    const Cell cell{name[0] - 'a', name[1] - '1'};
    if (!cell.isOnBoard() || getSquare(cell) != square)
        return std::nullopt;
    return cell;
}

Core::Object* Table::makePiece(Draughts::Piece piece)
{
    const bool black = piece == Draughts::Piece::BlackMan || piece == Draughts::Piece::BlackKing;
    const bool king = Draughts::isKing(piece);
    Core::Object* object = new Core::Object(Core::Object::ObjectAlignment(), modelFile(black, king));
    object->setColor(Vec4<double>(1, 1, 1, 1));
    std::vector<std::unique_ptr<Tag>>& tags = m_PieceTags[object];
    tags.push_back(std::make_unique<Tag>("side", black ? "Black" : "White"));
    tags.push_back(std::make_unique<Tag>("kind", king ? "king" : "man"));
    for (const std::unique_ptr<Tag>& tag : tags)
        object->addMeta(tag.get());
    return object;
}

void Table::deletePiece(Core::Square* square, Core::Object* piece)
{
    square->popObject(piece);
    delete piece;
    m_PieceTags.erase(piece);
}

void Table::setUp(const Draughts::Position& position)
{
    // Moves still playing end first: the board must not hold pieces deleted here.
    m_Board->finishAnimations();
    m_Crowning.clear();
    for (Core::Square* square : m_Squares)
        while (!square->getObjects().empty())
            deletePiece(square, square->getObjects().front());
    for (int y = 0; y < static_cast<int>(c_Cells); ++y)
        for (int x = 0; x < static_cast<int>(c_Cells); ++x)
        {
            const Draughts::Piece piece = position.at(Cell{x, y});
            if (piece != Draughts::Piece::Empty)
                getSquare(Cell{x, y})->pushObject(makePiece(piece));
        }
}

bool Table::show(const Draughts::Move& move)
{
    std::vector<Core::Square*> path;
    for (const Cell& cell : move.path())
        if (Core::Square* square = getSquare(cell))
            path.push_back(square);
        else
            return false;
    if (path.size() < 2 || path.front()->getObjects().empty())
        return false;
    Core::Object* piece = path.front()->getObjects().front();
    std::vector<Core::Object*> captured;
    for (const Cell& cell : move.captured())
        if (Core::Square* square = getSquare(cell))
            captured.insert(captured.end(), square->getObjects().begin(), square->getObjects().end());

    Core::MoveAnimation::Style style;
    style.m_Path = move.isCapture() ? Core::MoveAnimation::HOP : Core::MoveAnimation::SLIDE;
    style.m_HopHeight = c_HopHeight;
    style.m_LegSeconds = c_LegSeconds;
    style.m_Exit = Core::MoveAnimation::SINK;
    style.m_ExitSeconds = c_LegSeconds;
    if (!m_Board->animateObject(piece, path, style, captured))
        return false;
    if (move.promotes())
        m_Crowning.insert(piece);
    return true;
}

void Table::finishMove(Core::Object* piece, const std::vector<Core::Object*>& captured)
{
    for (Core::Object* gone : captured)
        m_PieceTags.erase(gone);
    if (m_Crowning.erase(piece) == 0)
        return;
    piece->setMesh(modelFile(piece->getMeta("side") == "Black", true));
    for (const std::unique_ptr<Tag>& tag : m_PieceTags[piece])
        if (tag->getName() == "kind")
            tag->set("king");
}

void Table::highlight(const std::vector<Cell>& selected, const std::vector<Cell>& authorized)
{
    m_Board->clearHighlight();
    for (const Cell& cell : selected)
        if (Core::Square* square = getSquare(cell))
            square->highlightSelected(true);
    for (const Cell& cell : authorized)
        if (Core::Square* square = getSquare(cell))
            square->highlightAuthorized(true);
}

int Table::countPieces(const std::string& side) const
{
    int count = 0;
    for (const Core::Square* square : m_Squares)
        for (const Core::Object* piece : square->getObjects())
            if (piece && piece->getMeta("side") == side)
                ++count;
    return count;
}

} // namespace DraughtsGame

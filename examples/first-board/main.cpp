// Your first board: an 8x8 board with a row of pieces, the square under the
// pointer lit up, and a line printed for every click. Give a model file
// (.gltf, .glb, .obj or .ase) to see your own piece on every starting square.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include <Core/Board.h>
#include <Core/CallBackPicking.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Aabb.h>
#include <Rendering/HUDText.h>
#include <Rendering/Render.h>

class PrintClick : public Core::CallBackPicking
{
public:
    void execute() override
    {
        const Vec2<unsigned int>& cell = m_PickedSquare->getLower();
        std::cout << "clicked square " << cell.x() << "," << cell.y() << std::endl;
    }
};

// A piece of the model (a sphere without one), shrunk to fit a square when
// the model is wider or taller than one unit.
Core::Object* makePiece(const std::string& model)
{
    auto* piece = new Core::Object(Core::Object::ObjectAlignment(), model);
    if (piece->getMesh())
    {
        const Vec3<double> size = piece->getAabb().getSize();
        const double largest = std::max({size.x(), size.y(), size.z()});
        if (largest > 1)
            piece->setScale(0.8 / largest);
    }
    return piece;
}

int main(int argc, char** argv)
{
    const std::string model = argc > 1 ? argv[1] : "";
    std::vector<Core::Square*> squares;
    for (unsigned int y = 0; y < 8; ++y)
        for (unsigned int x = 0; x < 8; ++x)
        {
            Core::Square::Coords corners;
            corners.m_Corners[0] = Vec2<unsigned int>(x, y);
            corners.m_Corners[1] = Vec2<unsigned int>(x + 1, y);
            corners.m_Corners[2] = Vec2<unsigned int>(x + 1, y + 1);
            corners.m_Corners[3] = Vec2<unsigned int>(x, y + 1);
            std::vector<Core::Object*> pieces;
            if (y == 1) // the starting row
                pieces.push_back(makePiece(model));
            // The square owns its pieces from here on.
            auto* square = new Core::Square(corners, pieces);
            square->setColor((x + y) % 2 ? Vec4<double>(0.9, 0.85, 0.7, 1) : Vec4<double>(0.3, 0.2, 0.1, 1));
            squares.push_back(square);
        }
    Core::Board board(Vec2<unsigned int>(8, 8), squares);
    board.setAutoHighlight(true);

    PrintClick onClick;
    Rendering::HUDText help;
    help.setText("Point at a square and click. Escape quits.");

    Rendering::Render* render = Rendering::Render::instance();
    render->setParams("First board", Vec3<double>(1, 1, 1), &board);
    render->getCallBacksPicking().push_back(&onClick);
    render->getHUDs().push_back(&help);
    render->run(); // never returns
}

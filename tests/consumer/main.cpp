// A tiny game that includes the installed headers, builds a board, runs the
// engine for a few frames and leaves.
#include <cstdlib>
#include <iostream>
#include <vector>

#include <Core/Board.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/HUD.h>
#include <Rendering/Render.h>

namespace
{
class FrameCounter : public Rendering::HUD
{
public:
    void draw() override
    {
        if (++m_Frames == 30)
        {
            std::cout << "consumer ran " << m_Frames << " frames" << std::endl;
            std::exit(0);
        }
    }

private:
    int m_Frames = 0;
};
} // namespace

int main()
{
    std::vector<Core::Square*> squares;
    for (unsigned int y = 0; y < 4; ++y)
        for (unsigned int x = 0; x < 4; ++x)
        {
            Core::Square::Coords c;
            c.m_Corners[0] = Vec2<unsigned int>(x, y);
            c.m_Corners[1] = Vec2<unsigned int>(x + 1, y);
            c.m_Corners[2] = Vec2<unsigned int>(x + 1, y + 1);
            c.m_Corners[3] = Vec2<unsigned int>(x, y + 1);
            squares.push_back(new Core::Square(c, {new Core::Object(Core::Object::ObjectAlignment(), "")}));
        }
    Core::Board board(Vec2<unsigned int>(4, 4), squares);
    FrameCounter counter;
    Rendering::Render* render = Rendering::Render::instance();
    render->setParams("Consumer", Vec3<double>(1, 1, 1), &board);
    render->getHUDs().push_back(&counter);
    render->run();
}

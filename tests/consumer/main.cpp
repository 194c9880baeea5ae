// A tiny game that includes the installed headers, builds a board, runs the
// engine for a few frames and leaves.
#include <cstdlib>
#include <iostream>

#include <Core/CallBackFrame.h>
#include <Core/Grid.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Render.h>

namespace
{
class FrameCounter : public Core::CallBackFrame
{
public:
    void execute() override
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
    Core::Grid grid(4, 4);
    for (Core::Square* square : grid.getSquares())
        square->pushObject(new Core::Object(Core::Object::ObjectAlignment(), ""));
    // The frame hook is the one thing the game gives the engine here.
    FrameCounter counter;
    Rendering::Render* render = Rendering::Render::instance();
    render->setParams("Consumer", Vec3<double>(1, 1, 1), grid.getBoard());
    render->getCallBacksFrame().push_back(&counter);
    render->run();
}

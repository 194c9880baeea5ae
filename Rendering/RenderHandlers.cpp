// The engine's function handlers: each is a record among the game's records.
#include <Rendering/Render.h>

#include <utility>

#include <Rendering/internal/InteractionState.h>

namespace Rendering
{

Core::CallBackHandle Render::onClick(std::function<void(Core::Square* square)> handler)
{
    return m_Interaction->m_ClickFunctions.add(m_CallBacksPicking, [handler = std::move(handler)](
                                                                 Core::CallBackPicking& record)
                                         { handler(record.getPickedSquare()); });
}

Core::CallBackHandle Render::onKey(std::function<void(unsigned char key, int x, int y)> handler)
{
    return m_Interaction->m_KeyFunctions.add(m_CallBacksKeyboard,
                                       [handler = std::move(handler)](Core::CallBackKeyboard& record)
                                       { handler(record.getKey(), record.getX(), record.getY()); });
}

Core::CallBackHandle Render::onFrame(std::function<void(double seconds)> handler)
{
    return m_Interaction->m_FrameFunctions.add(m_CallBacksFrame, [handler = std::move(handler)](Core::CallBackFrame& record)
                                         { handler(record.getDeltaTime()); });
}

void Render::sweepFunctions()
{
    m_Interaction->m_ClickFunctions.sweep(m_CallBacksPicking);
    m_Interaction->m_KeyFunctions.sweep(m_CallBacksKeyboard);
    m_Interaction->m_FrameFunctions.sweep(m_CallBacksFrame);
}

} // namespace Rendering

#pragma once

#include <Core/CallBackFrame.h>

namespace DraughtsGame
{

class Game;

/// Calls Game::onFrame once per frame, before the engine draws.
class FrameHook : public Core::CallBackFrame
{
public:
    explicit FrameHook(Game& game) : m_Game(game) {}
    void execute() override;

private:
    Game& m_Game;
};

} // namespace DraughtsGame

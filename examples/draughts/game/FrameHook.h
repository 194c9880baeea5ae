#pragma once

#include <Rendering/HUD.h>

namespace DraughtsGame
{

class Game;

/// Calls Game::onFrame from the engine's list of head-up elements, the one
/// place where the game runs inside every frame; draws nothing itself.
class FrameHook : public Rendering::HUD
{
public:
    explicit FrameHook(Game& game) : m_Game(game) {}
    void draw() override;

private:
    Game& m_Game;
};

} // namespace DraughtsGame

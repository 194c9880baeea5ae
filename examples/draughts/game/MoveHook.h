#pragma once

#include <Core/CallBackMove.h>

namespace DraughtsGame
{

class Game;

/// Hands every finished animated move to Game::onMoveFinished.
class MoveHook : public Core::CallBackMove
{
public:
    explicit MoveHook(Game& game) : m_Game(game) {}
    void execute() override;

private:
    Game& m_Game;
};

} // namespace DraughtsGame

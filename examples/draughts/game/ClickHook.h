#pragma once

#include <Core/CallBackPicking.h>

namespace DraughtsGame
{

class Game;

/// Hands clicked squares to Game::onClick.
class ClickHook : public Core::CallBackPicking
{
public:
    explicit ClickHook(Game& game) : m_Game(game) {}
    void execute() override;

private:
    Game& m_Game;
};

} // namespace DraughtsGame

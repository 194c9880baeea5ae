#pragma once

#include <Core/CallBackKeyboard.h>

namespace DraughtsGame
{

class Game;

/// Hands the keys the engine leaves free to Game::onKey.
class KeyHook : public Core::CallBackKeyboard
{
public:
    explicit KeyHook(Game& game) : m_Game(game) {}
    void execute() override;

private:
    Game& m_Game;
};

} // namespace DraughtsGame

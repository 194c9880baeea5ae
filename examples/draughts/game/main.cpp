// Two-player draughts on Tabula. Usage: draughts [--shots DIR] [--trace-pointer]
// (see Examples::GameOptions).
#include <common/GameOptions.h>

#include "Game.h"

int main(int argc, char** argv)
{
    Examples::GameOptions options;
    if (!options.parse(argc, argv, "draughts"))
        return 2;
    // The engine keeps plain pointers to the game's parts until the process
    // ends, so the game is never destroyed.
    static DraughtsGame::Game* game =
        new DraughtsGame::Game(DRAUGHTS_ASSET_DIR, options.m_ShotDir, options.m_TraceHover);
    game->run();
    return 0;
}

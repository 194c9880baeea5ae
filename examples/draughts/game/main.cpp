// Two-player draughts on Tabula. Usage: draughts [--shots DIR]
// Screenshots (key c) are written to DIR, the working directory by default.
#include <cstring>
#include <iostream>

#include "Game.h"

int main(int argc, char** argv)
{
    std::string shotDir = ".";
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--shots") == 0 && i + 1 < argc)
            shotDir = argv[++i];
        else
        {
            std::cerr << "usage: draughts [--shots DIR]" << std::endl;
            return 2;
        }
    }
    // The engine keeps plain pointers to the game's parts until the process
    // ends, so the game is never destroyed.
    static DraughtsGame::Game* game = new DraughtsGame::Game(DRAUGHTS_ASSET_DIR, shotDir);
    game->run();
    return 0;
}

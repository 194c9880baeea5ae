// Two-player draughts on Tabula. Usage: draughts [--shots DIR] [--trace-pointer]
// Screenshots (key c) are written to DIR, the working directory by default.
// --trace-pointer also logs every change of the square under the pointer,
// so that a script driving the pointer knows when to click.
#include <cstring>
#include <iostream>

#include "Game.h"

int main(int argc, char** argv)
{
    std::string shotDir = ".";
    bool traceHover = false;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--shots") == 0 && i + 1 < argc)
            shotDir = argv[++i];
        else if (std::strcmp(argv[i], "--trace-pointer") == 0)
            traceHover = true;
        else
        {
            std::cerr << "usage: draughts [--shots DIR] [--trace-pointer]" << std::endl;
            return 2;
        }
    }
    // The engine keeps plain pointers to the game's parts until the process
    // ends, so the game is never destroyed.
    static DraughtsGame::Game* game = new DraughtsGame::Game(DRAUGHTS_ASSET_DIR, shotDir, traceHover);
    game->run();
    return 0;
}

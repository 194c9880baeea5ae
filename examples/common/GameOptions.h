#pragma once

#include <cstring>
#include <iostream>
#include <string>

namespace Examples
{

/// The command line every example game takes: [--shots DIR] [--trace-pointer].
/// Screenshots go to DIR, the working directory by default; --trace-pointer
/// also logs every change of the square under the pointer, so that a script
/// driving the pointer knows when to click.
struct GameOptions
{
    std::string m_ShotDir = ".";
    bool m_TraceHover = false;

    /// False, with the usage printed, on anything else.
    bool parse(int argc, char** argv, const char* game)
    {
        for (int i = 1; i < argc; ++i)
        {
            if (std::strcmp(argv[i], "--shots") == 0 && i + 1 < argc)
                m_ShotDir = argv[++i];
            else if (std::strcmp(argv[i], "--trace-pointer") == 0)
                m_TraceHover = true;
            else
            {
                std::cerr << "usage: " << game << " [--shots DIR] [--trace-pointer]" << std::endl;
                return false;
            }
        }
        return true;
    }
};

} // namespace Examples

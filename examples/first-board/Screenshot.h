// first-board's --screenshot FILE: one frame of the viewer written to FILE,
// without a display too.
#pragma once

#include <cstdlib>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include <Core/CallBackFrame.h>
#include <Rendering/Render.h>

// With --screenshot: draws one more frame once the first is done, writes it
// to the file and ends the program.
class Screenshot : public Core::CallBackFrame
{
public:
    explicit Screenshot(std::string file) : m_File(std::move(file)) {}
    /// Without a display, runs the program again under xvfb-run.
    static void needDisplay(int argc, char** argv);
    void execute() override
    {
        if (m_Drawing || ++m_Frames < 2)
            return;
        m_Drawing = true;
        Rendering::Render* render = Rendering::Render::instance();
        render->renderFrame();
        const bool saved = render->saveScreenshot(m_File);
        std::cout << (saved ? "screenshot " : "could not write ") << m_File << std::endl;
        std::exit(saved ? 0 : 1);
    }

private:
    std::string m_File;
    int m_Frames = 0;
    bool m_Drawing = false;
};

inline void Screenshot::needDisplay(int argc, char** argv)
{
    const char* display = std::getenv("DISPLAY");
    if (display && *display)
        return;
    std::vector<char*> args = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), const_cast<char*>("-s"),
                               const_cast<char*>("-screen 0 1280x1024x24")};
    args.insert(args.end(), argv, argv + argc);
    args.push_back(nullptr);
    execvp("xvfb-run", args.data());
    std::cerr << "no display, and xvfb-run could not be started" << std::endl;
    std::exit(1);
}

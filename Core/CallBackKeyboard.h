#pragma once

#include <TabulaExport.h>

namespace Core
{

/// Derive from this and register it in Render::getCallBacksKeyboard(). Every
/// key the engine does not use itself is stored with the pointer position
/// (window pixels, origin top-left) before execute() is called.
class TABULA_EXPORT CallBackKeyboard
{
public:
    virtual ~CallBackKeyboard() = default;
    virtual void execute() = 0;

    void setKeyboardEvent(unsigned char key, int x, int y)
    {
        m_Key = key;
        m_X = x;
        m_Y = y;
    }

    unsigned char getKey() const { return m_Key; }
    int getX() const { return m_X; }
    int getY() const { return m_Y; }

protected:
    unsigned char m_Key = 0;
    int m_X = 0;
    int m_Y = 0;
};

} // namespace Core

#pragma once

#include <TabulaExport.h>

#include <vector>

namespace Core
{

class Object;
class Square;

/// Derive from this and register it in Board::getCallBacksMove(). When an
/// animated move (Board::animateObject) has played all its legs and its
/// captured pieces have gone, the board stores the move and calls execute()
/// once, record after record in list order. The board never deletes the
/// record.
class TABULA_EXPORT CallBackMove
{
public:
    virtual ~CallBackMove() = default;
    virtual void execute() = 0;

    void setMove(Object* object, Square* square, const std::vector<Object*>& captured)
    {
        m_Object = object;
        m_Square = square;
        m_Captured = captured;
    }
    /// The piece that moved, on its destination square.
    Object* getObject() const { return m_Object; }
    Square* getSquare() const { return m_Square; }
    /// The pieces the move took off the board. The board deletes them as
    /// soon as every record has run: forget them here, never keep them.
    const std::vector<Object*>& getCaptured() const { return m_Captured; }

protected:
    Object* m_Object = nullptr;
    Square* m_Square = nullptr;
    std::vector<Object*> m_Captured;
};

} // namespace Core

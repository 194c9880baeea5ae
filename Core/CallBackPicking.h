#pragma once

#include <TabulaExport.h>

namespace Core
{

class Square;

/// Derive from this and register it in Render::getCallBacksPicking(). Each
/// frame the engine stores the square under the pointer (null over the
/// board's frame) in m_PickedSquare; on a left-button release over a
/// highlighted square it stores that square and calls execute().
class TABULA_EXPORT CallBackPicking
{
public:
    virtual ~CallBackPicking() = default;
    virtual void execute() = 0;

    void setPickedSquare(Square* square) { m_PickedSquare = square; }
    Square* getPickedSquare() const { return m_PickedSquare; }

protected:
    Square* m_PickedSquare = nullptr;
};

} // namespace Core

#pragma once

#include <TabulaExport.h>

#include <memory>

namespace Core
{

/// What registering a function handler returns (Render::onClick, onKey,
/// onFrame, Board::onMoveFinished). remove() takes the handler out: it never
/// runs again, not even later in the event being delivered when it is called
/// from a handler. Copies refer to the same registration; dropping every
/// handle leaves the handler registered for the life of its owner (the engine
/// or the board). remove() is harmless when called again, on a default-made
/// handle, or after the owner is gone.
class TABULA_EXPORT CallBackHandle
{
public:
    CallBackHandle() = default;
    /// Made by the owner: `active` is shared with the record that runs the function.
    explicit CallBackHandle(std::shared_ptr<bool> active);

    void remove();
    /// True from registration until remove().
    bool isActive() const;

private:
    std::shared_ptr<bool> m_Active;
};

} // namespace Core

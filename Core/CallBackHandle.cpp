#include <Core/CallBackHandle.h>

#include <utility>

namespace Core
{

CallBackHandle::CallBackHandle(std::shared_ptr<bool> active) : m_Active(std::move(active)) {}

void CallBackHandle::remove()
{
    if (m_Active)
        *m_Active = false;
}

bool CallBackHandle::isActive() const
{
    return m_Active && *m_Active;
}

} // namespace Core

#pragma once

#include <Core/CallBackFrame.h>
#include <Core/CallBackKeyboard.h>
#include <Core/CallBackPicking.h>
#include <Core/internal/FunctionRecords.h>

namespace Rendering
{

/// What the engine keeps beside its own fields: the function handlers it
/// lists among the game's records.
struct EngineState
{
    Core::FunctionRecords<Core::CallBackPicking> m_ClickFunctions;
    Core::FunctionRecords<Core::CallBackKeyboard> m_KeyFunctions;
    Core::FunctionRecords<Core::CallBackFrame> m_FrameFunctions;
};

} // namespace Rendering

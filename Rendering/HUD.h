#pragma once

#include <TabulaExport.h>

namespace Rendering
{

/// A head-up element, drawn by the engine every frame before the lit board.
/// The game owns it; the engine never deletes one.
class TABULA_EXPORT HUD
{
public:
    virtual ~HUD() = default;
    virtual void draw() = 0;
};

} // namespace Rendering

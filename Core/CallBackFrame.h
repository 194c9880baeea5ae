#pragma once

#include <TabulaExport.h>

namespace Core
{

/// Derive from this and register it in Render::getCallBacksFrame(). Once per
/// frame, before anything is drawn and after the board's animations have
/// advanced, the engine stores the time since the previous frame in
/// m_DeltaTime (seconds of a steady wall clock; 0 at the first frame) and
/// calls execute(), record after record in list order. The engine never
/// deletes the record.
class TABULA_EXPORT CallBackFrame
{
public:
    virtual ~CallBackFrame() = default;
    virtual void execute() = 0;

    void setDeltaTime(double seconds) { m_DeltaTime = seconds; }
    double getDeltaTime() const { return m_DeltaTime; }

protected:
    double m_DeltaTime = 0.0;
};

} // namespace Core

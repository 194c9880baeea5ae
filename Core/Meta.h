#pragma once

#include <TabulaExport.h>

#include <string>

namespace Core
{

/// A named value attached to a drawable. The game creates and frees entries;
/// a drawable only keeps pointers to them.
class TABULA_EXPORT MetaBase
{
public:
    explicit MetaBase(const std::string& name) : m_Name(name) {}
    virtual ~MetaBase() = default;

    const std::string& getName() const { return m_Name; }

protected:
    std::string m_Name;
};

template <typename T>
class TABULA_EXPORT Meta : public MetaBase
{
public:
    Meta(const std::string& name, const T& value) : MetaBase(name), m_Value(value) {}

    const T& getValue() const { return m_Value; }

protected:
    T m_Value;
};

} // namespace Core

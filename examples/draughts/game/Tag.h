#pragma once

#include <string>

#include <Core/Meta.h>

namespace DraughtsGame
{

/// Metadata whose value the game may change later (a man's "kind" becomes
/// "king"); drawables read it back with getMeta like any other entry.
class Tag : public Core::Meta<std::string>
{
public:
    Tag(const std::string& name, const std::string& value) : Core::Meta<std::string>(name, value) {}

    void set(const std::string& value) { m_Value = value; }
};

} // namespace DraughtsGame

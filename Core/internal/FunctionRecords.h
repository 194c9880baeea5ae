#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include <Core/CallBackHandle.h>

namespace Core
{

/// A callback record that runs a function: how a function handler takes its
/// place among the game's records of the same kind, so that both run in the
/// order they were registered.
template <class Record>
class FunctionRecord final : public Record
{
public:
    FunctionRecord(std::function<void(Record&)> call, std::shared_ptr<bool> active)
        : m_Call(std::move(call)), m_Active(std::move(active))
    {
    }
    void execute() override
    {
        if (*m_Active)
            m_Call(*this);
    }
    bool isRemoved() const { return !*m_Active; }

private:
    std::function<void(Record&)> m_Call;
    std::shared_ptr<bool> m_Active;
};

/// The function records of one kind that an owner (the engine, a board)
/// lists in one of its record lists and deletes with itself.
template <class Record>
class FunctionRecords
{
public:
    /// Appends a record running `call` to `list`.
    CallBackHandle add(std::vector<Record*>& list, std::function<void(Record&)> call)
    {
        auto active = std::make_shared<bool>(true);
        m_Owned.push_back(std::make_unique<FunctionRecord<Record>>(std::move(call), active));
        list.push_back(m_Owned.back().get());
        return CallBackHandle(active);
    }

    /// Takes the removed records out of `list` and deletes them. A removed
    /// record does nothing meanwhile, so this waits for a moment when no
    /// list is being walked (the start of a frame).
    void sweep(std::vector<Record*>& list)
    {
        const auto removed = [](const std::unique_ptr<FunctionRecord<Record>>& record) { return record->isRemoved(); };
        if (std::none_of(m_Owned.begin(), m_Owned.end(), removed))
            return;
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [this](Record* record)
                                  {
                                      for (const auto& owned : m_Owned)
                                          if (owned.get() == record)
                                              return owned->isRemoved();
                                      return false;
                                  }),
                   list.end());
        m_Owned.erase(std::remove_if(m_Owned.begin(), m_Owned.end(), removed), m_Owned.end());
    }

private:
    std::vector<std::unique_ptr<FunctionRecord<Record>>> m_Owned;
};

/// Walks `list` as it is when the walk starts, by position, so that a
/// handler may register another (which first runs at the next event)
/// without invalidating the walk.
template <class Record, class Visit>
void forEachRecord(std::vector<Record*>& list, const Visit& visit)
{
    const std::size_t count = list.size();
    for (std::size_t i = 0; i < count && i < list.size(); ++i)
        visit(list[i]);
}

} // namespace Core

#include "host/WindowTable.h"

#include <algorithm>

namespace lumbra::host {

namespace {

// Takes the record's owner out of a chain.
std::unique_ptr<WindowRecord> takeFrom(std::vector<std::unique_ptr<WindowRecord>>& chain, const WindowRecord& record)
{
    const auto it = std::find_if(chain.begin(), chain.end(), [&](const auto& r) { return r.get() == &record; });
    if (it == chain.end())
        return nullptr;
    std::unique_ptr<WindowRecord> owned = std::move(*it);
    chain.erase(it);
    return owned;
}

} // namespace

WindowTable::~WindowTable()
{
    for (Chain& chain : buckets_)
        for (const auto& record : chain)
            unsubclass(*record);
    for (const auto& record : unlinked_)
        unsubclass(*record);
}

std::unique_ptr<WindowCell> WindowTable::newCell(orvet::ScriptContext& ctx, WindowHandle handle)
{
    auto cell = std::make_unique<WindowCell>();
    cell->handle = handle;
    if (handle == 0 || !system_.isWindow(handle))
        return cell;
    WindowRecord* record = find(handle);
    if (!record) {
        bucket(handle).push_back(std::make_unique<WindowRecord>(ctx, handle));
        record = bucket(handle).back().get();
        record->subclassed = system_.attach(*record);
    }
    record->cells.push_back(cell.get());
    cell->record = record;
    return cell;
}

void WindowTable::releaseCell(std::unique_ptr<WindowCell> cell)
{
    WindowRecord* record = cell->record;
    if (!record)
        return;
    std::erase(record->cells, cell.get());
    if (!record->cells.empty())
        return;
    unsubclass(*record);
    unlink(*record);
    freeIfUnused(*record);
}

WindowRecord* WindowTable::find(WindowHandle handle) const
{
    for (const auto& record : buckets_[handle % kBuckets])
        if (record->handle == handle)
            return record.get();
    return nullptr;
}

void WindowTable::windowDestroyed(WindowRecord& record)
{
    unsubclass(record);
    record.destroyed = true;
    record.inside = false;
    unlink(record);
}

void WindowTable::unsubclass(WindowRecord& record)
{
    if (!record.subclassed)
        return;
    record.subclassed = false;
    system_.detach(record);
}

void WindowTable::unlink(WindowRecord& record)
{
    if (std::unique_ptr<WindowRecord> owned = takeFrom(bucket(record.handle), record))
        unlinked_.push_back(std::move(owned));
}

void WindowTable::freeIfUnused(WindowRecord& record)
{
    if (record.cells.empty() && record.dispatching == 0)
        takeFrom(unlinked_, record); // and drop it
}

std::size_t WindowTable::size() const
{
    std::size_t n = 0;
    for (const Chain& chain : buckets_)
        n += chain.size();
    return n;
}

WindowTable::Dispatch::Dispatch(WindowTable& table, WindowRecord& record) : table_(table), record_(record)
{
    ++record_.dispatching;
}

WindowTable::Dispatch::~Dispatch()
{
    if (--record_.dispatching == 0 && record_.cells.empty())
        table_.freeIfUnused(record_);
}

} // namespace lumbra::host

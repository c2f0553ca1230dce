#include "objects/annotations/FigureOutlineCache.h"

#include <unordered_map>

namespace {

using CEntries = std::unordered_map<std::string, std::weak_ptr<CFigureOutlineCache::CEntry>>;

// Never destroyed: figures that outlive the statics still let go of their
// entries.
CEntries& GetEntries()
{
    static CEntries* entries = new CEntries;
    return *entries;
}

// The deleter of every entry: the last holder's release takes it out.
void Release(CFigureOutlineCache::CEntry* entry)
{
    CEntries& entries = GetEntries();
    const auto found = entries.find(entry->key);
    // A key added again while the entry was held names the newer entry.
    if (found != entries.end() && found->second.expired())
        entries.erase(found);
    delete entry;
}

}  // namespace

std::shared_ptr<CFigureOutlineCache::CEntry> CFigureOutlineCache::Find(const std::string& key)
{
    const CEntries& entries = GetEntries();
    const auto found = entries.find(key);
    return found != entries.end() ? found->second.lock() : nullptr;
}

std::shared_ptr<CFigureOutlineCache::CEntry> CFigureOutlineCache::Add(const std::string& key)
{
    std::shared_ptr<CEntry> entry(new CEntry{key, {}, nullptr}, &Release);
    GetEntries()[key] = entry;
    return entry;
}

size_t CFigureOutlineCache::GetEntryCount()
{
    return GetEntries().size();
}

#pragma once

#include <cstdint>
#include <deque>
#include <string>

// The recently used course files that the File menu shows, most recent first,
// kept in the settings as the wide values "File1", "File2", ... up to the
// maximum. Paths are compared without regard to case (IsSamePath).
class CRecentFiles
{
public:
    // The owner sets the maximum before loading; a longer list is cut at once.
    void SetMaximum(int32_t maximum);
    int32_t GetMaximum() const { return m_maximum; }

    // Puts the path at the front (taking the place of a match in another
    // spelling) and keeps at most the maximum. Adding the first path again
    // changes nothing.
    void Add(const std::wstring& path);
    // Drops the first matching path, if any (a listed file that can't be opened).
    void Remove(const std::wstring& path);

    // Reads "File1" ... up to the maximum, keeping the non-empty values.
    void Load();
    // Writes "File1" ... up to the maximum; places past the end of the list
    // are written empty, so stale entries go.
    void Save() const;

    const std::deque<std::wstring>& GetPaths() const { return m_paths; }
    // The menu label of each path, in the same order: "1 " to "9 " before the
    // first nine, then the path, shortened to about 60 characters.
    const std::deque<std::wstring>& GetLabels() const { return m_labels; }

private:
    void TrimToMaximum();
    void RebuildLabels();

    int32_t m_maximum = 0;
    std::deque<std::wstring> m_paths;
    std::deque<std::wstring> m_labels;
};

// A path of more than 60 characters with its middle folders replaced by
// "...": typically the drive and first separator, "...", and the last
// separator with the file name.
std::wstring ShortenPathForMenu(const std::wstring& path);

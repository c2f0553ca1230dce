#pragma once

#include <memory>
#include <string>

#include "graphics/PolygonOutline.h"

// The silhouettes' outlines that figures share: figures of one kind in one
// pose tessellate the same skin into the same loops, which takes a first
// paint tens of milliseconds a figure. An entry is found by its key (the
// kind, the material and the pose's bytes) while some figure holds it; the
// last holder to let go takes it out, so that poses no figure shows any
// more keep no memory. Figures are drawn on the user-interface thread only.
class CFigureOutlineCache
{
public:
    // One material's outline of a kind of figure in one pose.
    struct CEntry
    {
        std::string key;
        CPolygonOutline outline;
        // Made from the outline when a drawing first wants it coarse.
        std::unique_ptr<CPolygonOutline> coarseOutline;
    };

    // The entry of the key some figure holds, or null.
    static std::shared_ptr<CEntry> Find(const std::string& key);
    // A new entry of the key with an empty outline for the caller to fill,
    // which Find gives until its last holder lets it go.
    static std::shared_ptr<CEntry> Add(const std::string& key);
    // How many entries figures hold.
    static size_t GetEntryCount();
};

#pragma once

#include <cstdint>
#include <list>

#include "foundation/BlockPool.h"

class CObstacleEnd;

// One node of a dog path (the dog path names it CDogPath::CNode): a point in
// course coordinates, tenths of an inch, and the obstacle end it is tied to.
// The dog path keeps its nodes in a list in path order; the fit walks a
// section of them (CPathFit). The list takes its nodes from the block pool:
// courses hold paths by the thousand, each of a few nodes.
struct CDogPathNode
{
    float x = 0.0f;
    float y = 0.0f;
    // The end the node is tied to; none for a free node.
    CObstacleEnd* end = nullptr;
    // The node's section must be fitted again.
    bool dirty = false;
    // Between reading a record and tying the nodes: the position of the tied
    // end in its object's end set; -1 otherwise.
    int32_t endIndex = -1;
    // The discrimination warning at this node (computed, never stored).
    bool warning = false;
};

using CDogPathNodes = std::list<CDogPathNode, CPoolAllocator<CDogPathNode>>;

#pragma once

#include <cstdint>
#include <vector>

#include "foundation/Transform.h"

class CDrawable;

// What a panel hands to its render target: a fixed row of drawable slots,
// each drawn flat (2D) or as a depth-tested, lit 3D item, seen through a
// transform and filled first with a background colour. The scene has no
// camera: the render target's camera takes the projection flag, the depth
// range and the transform from it at every viewport set-up.
//
// The owning panel or subclass fills the slots directly:
//
//     CScene scene(true, 1);
//     scene.items[0] = &drawable;
//     scene.is3D[0] = false;
class CScene
{
public:
    // Widget scenes are (true, 1): flat projection, one slot.
    CScene(bool mapMode, unsigned slotCount);
    // The drawables are not owned and are not deleted.
    virtual ~CScene();
    CScene(const CScene&) = delete;
    CScene& operator=(const CScene&) = delete;

    // Stores the projection flag and returns it. Course scenes also change
    // their depth range here.
    virtual bool SetMapMode(bool newMapMode);

    // True when all3D is set or any slot is marked 3D. A system that draws
    // only 3D scenes leaves every picture of a scene without them to GDI.
    bool Has3DItems() const;

    // The slots; the length never changes. A null slot is skipped.
    std::vector<CDrawable*> items;
    // One flag per slot: drawn as a 3D item.
    std::vector<bool> is3D;
    // Makes Has3DItems true whatever the flags; nothing else reads it.
    bool all3D = false;
    // True: the flat projection that maps scene units to window pixels;
    // false: perspective.
    bool mapMode;
    // From the camera's space into scene space; render targets draw through
    // its inverse, and panels apply it to unprojected mouse points.
    CTransform transform;
    float nearDepth = -10000.0f;
    float farDepth = 10000.0f;
    // ARGB; filled over the whole target first unless its alpha is 0.
    uint32_t background = 0xFFFFFFFF;
};

#include "ui/Scene.h"

CScene::CScene(bool mapMode_, unsigned slotCount) : items(slotCount, nullptr), is3D(slotCount, false), mapMode(mapMode_)
{
}

CScene::~CScene() = default;

bool CScene::SetMapMode(bool newMapMode)
{
    mapMode = newMapMode;
    return mapMode;
}

bool CScene::Has3DItems() const
{
    if (all3D)
        return true;
    for (bool flag : is3D)
        if (flag)
            return true;
    return false;
}

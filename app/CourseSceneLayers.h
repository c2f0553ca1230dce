#pragma once

#include <cstdint>

#include "graphics/Drawable.h"

class CCourse;
class CGraphicsContext;

// A layer of a course scene: a drawable that draws one part of the course
// afresh from the course whenever the scene is drawn. The scene hands it the
// course when it rebuilds it; rebuilding gives it a new cache key so that
// every renderer draws it anew.
class CSceneLayer : public CDrawable
{
public:
    // A new unique cache key.
    virtual void Refresh();

    void SetCourse(CCourse* course) { m_course = course; }
    CCourse* GetCourse() const { return m_course; }

protected:
    CCourse* m_course = nullptr;
};

// Slot 0 of the map: the outlines of the surround and the ring, the grid,
// its numbers and the score-sheet footer as the course's "Background" and
// footer settings ask, then the other course's objects laid over for a
// comparison.
class CMapBaseLayer : public CSceneLayer
{
public:
    void Draw(CGraphicsContext& context) override;
};

// Slot 2 of the map: the course's objects, each with its pick id.
class CMapObjectsLayer : public CSceneLayer
{
public:
    void Draw(CGraphicsContext& context) override;
};

// Slot 0 of the 3D scene: the grass, and pale outlines, grid and footer.
class C3DBaseLayer : public CSceneLayer
{
public:
    void Draw(CGraphicsContext& context) override;
};

// Slot 2 of the 3D scene: the ring fence, the grid numbers on the ground and
// the objects' 3D shapes.
class C3DObjectsLayer : public CSceneLayer
{
public:
    void Draw(CGraphicsContext& context) override;
};

// Slot 3: the coordinate marks of the course's marked spots.
class CCoordinatesLayer : public CSceneLayer
{
public:
    // View kind 2 map, 3 3D.
    explicit CCoordinatesLayer(int viewKind) : m_viewKind(viewKind) {}

    void Draw(CGraphicsContext& context) override;

private:
    int m_viewKind;
};

// Slot 4: the selection marks of the selected objects.
class CSelectionLayer : public CSceneLayer
{
public:
    void Draw(CGraphicsContext& context) override;
};

// The 3D ground colour behind a 3D scene: 0xFFFDA889 when the course shows
// grass, white otherwise.
uint32_t GetGroundColor(bool grass);

#pragma once

// The layers of a course's map and 3D scenes, numbered as the scenes' slots.
enum class ESceneLayer
{
    kBase = 0,              // ground, ring outlines, grid, footer
    kShadows = 1,
    kObjects = 2,           // the objects and their geometry
    kCoordinateMarks = 3,
    kSelection = 4,         // the selection marks
    kRubberBand = 5,
};
constexpr int kSceneLayerCount = 6;

// What a view or window of a course hears of its changes.
class CCourseListener
{
public:
    virtual void OnMapLayerChanged(ESceneLayer layer) = 0;
    virtual void On3DLayerChanged(ESceneLayer layer) = 0;
    // Settings or the view camera changed.
    virtual void OnCourseSettingsChanged() = 0;
    // A command finished.
    virtual void OnCourseChanged() = 0;

protected:
    ~CCourseListener() = default;
};

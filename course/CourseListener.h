#pragma once

// What a view or window of a course hears of its changes. Layers are the
// scene layers 0 to 5 of the map and the 3D view: 1 shadows, 2 objects and
// their geometry, 3 coordinate marks, 4 selection marks.
class CCourseListener
{
public:
    virtual void OnMapLayerChanged(int layer) = 0;
    virtual void On3DLayerChanged(int layer) = 0;
    // Settings or the view camera changed.
    virtual void OnCourseSettingsChanged() = 0;
    // A command finished.
    virtual void OnCourseChanged() = 0;

protected:
    ~CCourseListener() = default;
};
